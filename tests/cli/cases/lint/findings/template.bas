' %title% by %author%
{{icon}}
  LoadIcon %pfx%Icon
{{/}}
