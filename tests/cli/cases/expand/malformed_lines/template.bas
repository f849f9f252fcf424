a {{ b
}} {{Icon}}
{{Icon}}a{{/Icon}}b
{{Mouse}}a{{Size}}b
{{Mouse}}a{{else}}b
{{Icon}}a{{ b
{{/}}a{{Mouse}}b{{/}}c
{{Icon}}x{{/}}y{{Icon}}z
{{Mouse}}x{{ y
hidden
{{/}}
shown
