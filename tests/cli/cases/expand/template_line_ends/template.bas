a %pfx%b
c

{{Icon}}skipped{{/}}endafter
