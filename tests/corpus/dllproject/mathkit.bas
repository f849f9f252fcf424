'==============================================================================
' MathKit.bas: small numeric helpers for our PB/WIN programs
'
' Built as MathKit.dll for the applications, or as an SLL to link in.
' Callers of the DLL include MathKit.inc; keep it in step with this file.
' Compile with sdk\ on the include path: pbwin /Isdk mathkit.bas
'==============================================================================

' Build switches
%MATHKIT_DLL   = 1          ' 1 = MathKit.dll, 0 = MathKit.sll
%MATHKIT_TRACE = 0          ' 1 = export TraceTo, log to the debugger

#IF %MATHKIT_DLL
  #COMPILE DLL "..\bin\MathKit.dll"
#ELSE
  #COMPILE SLL
#ENDIF
#DIM ALL

' Exported from the DLL, made public to the host of the SLL.
#IF %MATHKIT_DLL
  MACRO MKEXPORT = EXPORT
#ELSE
  MACRO MKEXPORT = COMMON
#ENDIF

#INCLUDE ONCE "winapi_min.inc"      ' found through the include path
#INCLUDE "missing_sdk.inc"          ' the vendor's SDK: not in this folder
#INCLUDE "inc\vectors.inc"          ' vectors.inc brings matrix.inc

%MK_VERSION    = &H0102             ' 1.2
%MK_CACHE_SIZE = 256
%MK_FLAG_FAST  = &H0001
%MK_FLAG_EXACT = &H0002

GLOBAL ghInstance AS LONG
GLOBAL gdwFlags   AS DWORD
GLOBAL gCache()   AS DOUBLE

' The host application's progress sink, reached through IDispatch.
INTERFACE DISPATCH IMathEvents
  MEMBER CALL Started<&H1>()
  MEMBER CALL Progress<&H2>(IN Percent AS LONG<&H0>)
  MEMBER CALL Finished<&H3>(IN Result AS DOUBLE<&H0>) AS LONG
END INTERFACE

' Newer hosts add warnings and a cancel flag.
INTERFACE DISPATCH IMathEvents2
  MEMBER CALL Warning<&H10>(IN Message AS STRING<&H0>)
  MEMBER GET Cancelled<&H11>() AS LONG
END INTERFACE

'------------------------------------------------------------------------------
FUNCTION LIBMAIN (BYVAL hInstance AS LONG, BYVAL fwdReason AS LONG, BYVAL lpvReserved AS LONG) EXPORT AS LONG
  SELECT CASE fwdReason
    CASE %DLL_PROCESS_ATTACH
      ghInstance = hInstance
      REDIM gCache(0 TO %MK_CACHE_SIZE - 1)
    CASE %DLL_PROCESS_DETACH
      ERASE gCache()
  END SELECT
  FUNCTION = 1                      ' carry on loading
END FUNCTION

'------------------------------------------------------------------------------
' Internal helpers: not exported.
SUB TraceLine (BYVAL sText AS STRING)
  #IF %MATHKIT_TRACE
    OutputDebugString "MathKit: " + sText
  #ENDIF
END SUB

FUNCTION CacheSlot (BYVAL n AS LONG) AS LONG
  FUNCTION = n MOD %MK_CACHE_SIZE
END FUNCTION

'------------------------------------------------------------------------------
' Exports
FUNCTION MkVersion () EXPORT AS LONG
  FUNCTION = %MK_VERSION
END FUNCTION

SUB SetFlags (BYVAL dwFlags AS DWORD) EXPORT
  gdwFlags = dwFlags
END SUB

FUNCTION Clamp (BYVAL x AS DOUBLE, BYVAL lo AS DOUBLE, BYVAL hi AS DOUBLE) MKEXPORT AS DOUBLE
  IF x < lo THEN x = lo
  IF x > hi THEN x = hi
  FUNCTION = x
END FUNCTION

SUB FreeCache()EXPORT
  REDIM gCache(0 TO %MK_CACHE_SIZE - 1)     ' every entry back to zero
END SUB

FUNCTION Lerp (BYVAL a AS DOUBLE, _   ' value at t = 0
               BYVAL b AS DOUBLE, _   ' value at t = 1
               BYVAL t AS DOUBLE _    ' where between them, 0 to 1
               ) EXPORT AS DOUBLE
  FUNCTION = a + (b - a) * t
END FUNCTION

FUNCTION AddInt ALIAS "MK_Add" (BYVAL a AS LONG, BYVAL b AS LONG) EXPORT AS LONG
  FUNCTION = a + b
END FUNCTION

FUNCTION SubInt ALIAS "MK_Sub" (BYVAL a AS LONG, BYVAL b AS LONG) MKEXPORT AS LONG
  FUNCTION = a - b
END FUNCTION

' For C callers: sums nCount doubles starting at pValues.
FUNCTION SumC CDECL ALIAS "mk_sum" (BYVAL pValues AS DOUBLE PTR, BYVAL nCount AS LONG) EXPORT AS DOUBLE
  LOCAL i AS LONG, d AS DOUBLE
  FOR i = 0 TO nCount - 1
    d = d + @pValues[i]
  NEXT
  FUNCTION = d
END FUNCTION

' Mean of x(nFirst) to x(nLast); nUsed receives how many were averaged.
FUNCTION ArrayMean (x() AS DOUBLE, BYREF nUsed AS LONG, BYVAL nFirst AS LONG, OPTIONAL BYVAL nLast AS LONG) EXPORT AS DOUBLE
  LOCAL i AS LONG, dSum AS DOUBLE
  IF ISMISSING(nLast) THEN nLast = UBOUND(x)
  nUsed = 0
  FOR i = nFirst TO nLast
    dSum = dSum + x(i)
    INCR nUsed
  NEXT
  IF nUsed THEN FUNCTION = dSum / nUsed
END FUNCTION

FUNCTION Halve#(BYVAL f#) EXPORT
  TraceLine "Halve"
  Halve# = f# / 2
END FUNCTION

#IF %MATHKIT_TRACE
SUB TraceTo (BYVAL sFile AS STRING) EXPORT
  TraceLine "tracing to " + sFile
END SUB
#ENDIF

#IF %DEF(%MATHKIT_DEBUG)
FUNCTION CacheDump () EXPORT AS STRING
  LOCAL i AS LONG, s AS STRING
  FOR i = 0 TO UBOUND(gCache)
    s = s + FORMAT$(gCache(i)) + $CRLF
  NEXT
  FUNCTION = s
END FUNCTION
#ENDIF

' Wide strings came with PB/WIN 10.
#IF %PB_REVISION >= &H1000
FUNCTION VersionW () EXPORT AS WSTRING
  FUNCTION = "MathKit " + FORMAT$(%MK_VERSION \ 256) + "." + FORMAT$(%MK_VERSION MOD 256)
END FUNCTION
#ENDIF

'------------------------------------------------------------------------------
' A running mean, for callers in this DLL.
CLASS CMathObject
  INSTANCE dTotal AS DOUBLE
  INSTANCE nCount AS LONG

  INTERFACE IMathObject
    INHERIT IUNKNOWN
    METHOD AddValue (BYVAL d AS DOUBLE)
      dTotal = dTotal + d
      INCR nCount
    END METHOD
    METHOD Mean () AS DOUBLE
      IF nCount THEN METHOD = dTotal / nCount
    END METHOD
    METHOD ClearAll ()
      dTotal = 0
      nCount = 0
    END METHOD
  END INTERFACE
END CLASS
