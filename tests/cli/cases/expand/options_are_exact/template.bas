' %title% by %author%
GLOBAL g%upfx%Count AS LONG
{{Icon}}
  LoadIcon %pfx%Icon
{{else}}
  ' no icon
{{/}}
FUNCTION %pfx%Main() {{Param}}BYVAL p AS LONG{{/}}
  x = 1 {{Size}}+ w{{else}}+ 0{{/}}

{{Mouse}}
  ' mouse
{{/Mouse}}
  END FUNCTION
