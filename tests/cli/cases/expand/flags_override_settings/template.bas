' %pfx% %upfx% %author% %title%
' <%description%>
{{Icon}}icon{{else}}no icon{{/}}
{{Size}}size{{/}}
%prefix% %desc%
