'==============================================================================
' strutil.bas: string helpers, built as strutil.dll
'==============================================================================
#COMPILE DLL "strutil.dll"
#DIM ALL
#INCLUDE "Win32API.inc"

GLOBAL ghInstance AS DWORD

'------------------------------------------------------------------------------
FUNCTION LIBMAIN (BYVAL hInstance   AS LONG, _
                  BYVAL fwdReason   AS LONG, _
                  BYVAL lpvReserved AS LONG) AS LONG
  SELECT CASE fwdReason
    CASE %DLL_PROCESS_ATTACH
      ghInstance = hInstance
      FUNCTION = 1   'success
    CASE %DLL_PROCESS_DETACH
      FUNCTION = 1
  END SELECT
END FUNCTION

'------------------------------------------------------------------------------
' Adds one to a number.
FUNCTION AddOne ALIAS "AddOne" (BYVAL x AS LONG) EXPORT AS LONG
  FUNCTION = x + 1
END FUNCTION

FUNCTION TrimAll ALIAS "TrimAll" (BYVAL sText AS STRING, _   ' the text to trim
                                  BYVAL sChars AS STRING _   ' the characters that go
                                  ) EXPORT AS STRING
  FUNCTION = TRIM$(sText, ANY sChars)
END FUNCTION

SUB LogLine (BYVAL sLine AS STRING)      ' internal: not for export
  LOCAL hFile AS LONG
  hFile = FREEFILE
  OPEN "strutil.log" FOR APPEND AS #hFile
  PRINT #hFile, sLine
  CLOSE #hFile
END SUB

#IF %DEF(%UNICODE)
  FUNCTION CountWords ALIAS "CountWords" (BYVAL s AS WSTRING) EXPORT AS LONG
    FUNCTION = PARSECOUNT(s, " ")
  END FUNCTION
#ELSE
  FUNCTION CountWords ALIAS "CountWords" (BYVAL s AS STRING) EXPORT AS LONG
    FUNCTION = PARSECOUNT(s, " ")
  END FUNCTION
#ENDIF

SUB ReverseBytes (BYREF s AS STRING) EXPORT
  #IF %DEF(%DEBUG)
    LogLine "ReverseBytes: " + s
  #ENDIF
  s = STRREVERSE$(s)
END SUB

FUNCTION PadLeft(BYVAL s AS STRING, BYVAL n AS LONG) COMMON AS STRING
  FUNCTION = RSET$(s, n)
END FUNCTION

FUNCTION Version ALIAS "StrUtilVersion" () EXPORT AS DWORD
  FUNCTION = &H00010002
END FUNCTION

' An alias with a parenthesis in it, and one exported under its own name.
FUNCTION Format2 ALIAS "Format(2)" (BYVAL d AS DOUBLE) EXPORT AS STRING
  FUNCTION = FORMAT$(d, "0.00")
END FUNCTION

SUB Beep2 (BYVAL nTimes AS LONG) EXPORT
  LOCAL i AS LONG
  FOR i = 1 TO nTimes : BEEP : NEXT
END SUB

#IF %PB_REVISION >= &H1000
FUNCTION HasWide () EXPORT AS LONG
  FUNCTION = -1
END FUNCTION
#ELSEIF %PB_REVISION >= &H0900
FUNCTION HasWide () EXPORT AS LONG
  FUNCTION = 0
END FUNCTION
#ELSE
  ' Nothing for older compilers.
#ENDIF
