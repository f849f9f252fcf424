Sub FreeGLClass()EXPORT
Macro Ex10 = Common
Macro Ex10 = Export
Sub D() Ex10
FUNCTION LibMain(BYVAL h AS LONG) EXPORT AS LONG
END FUNCTION
Interface Dispatch IOne
  Member Call A()
End Interface
Interface Dispatch ITwo
  Member Call B()
End Interface
