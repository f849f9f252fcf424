' ===========================================================================
' Message.bas: the message bridge that Codeloom's class skeletons call.
'
' New Class copies this file beside every class it writes, as Message.inc.
' #INCLUDE "Message.inc" before the classes. A class made with "Messages"
' ticked creates its window in SetWindow (CreateChildWindow is the class's
' own method) and hands itself to NewMessageBridge. The bridge subclasses
' that window and passes each message to the class's iMessage.Proc: when Proc
' returns non-zero the message is handled and the window procedure returns
' ret; when it returns 0 the window's own procedure gets the message.
' The bridge lets go of the class when the window is destroyed.
' ===========================================================================
#IF NOT %DEF(%MESSAGE_INC)
%MESSAGE_INC = 1

#INCLUDE ONCE "Win32API.inc"

' What a bridged class implements: the skeleton's iMessage, same GUID.
INTERFACE iMessage GUID$("{2e0e23cf-6e19-4a88-a33c-2cca8397778f}")
  INHERIT IUNKNOWN
  PROPERTY GET HWnd() AS LONG
  METHOD Proc(BYVAL wMsg AS DWORD, BYVAL wParam AS LONG, BYVAL lParam AS LONG, BYREF ret AS LONG) AS LONG
END INTERFACE

' The windows being bridged: handle, original procedure, class.
GLOBAL gBridgeCount AS LONG
GLOBAL gBridgeWnd() AS DWORD
GLOBAL gBridgeProc() AS DWORD
GLOBAL gBridgeTarget() AS iMessage

FUNCTION MessageBridgeFind(BYVAL hWnd AS DWORD) AS LONG
  LOCAL i AS LONG
  FOR i = 0 TO gBridgeCount - 1
    IF gBridgeWnd(i) = hWnd THEN FUNCTION = i: EXIT FUNCTION
  NEXT
  FUNCTION = -1
END FUNCTION

SUB MessageBridgeRemove(BYVAL i AS LONG)
  LOCAL last AS LONG
  last = gBridgeCount - 1
  gBridgeWnd(i) = gBridgeWnd(last)
  gBridgeProc(i) = gBridgeProc(last)
  gBridgeTarget(i) = gBridgeTarget(last)
  gBridgeTarget(last) = NOTHING
  gBridgeCount = last
END SUB

' The window procedure of every bridged window.
FUNCTION MessageBridgeProc(BYVAL hWnd AS DWORD, BYVAL wMsg AS DWORD, _
                           BYVAL wParam AS LONG, BYVAL lParam AS LONG) AS LONG
  LOCAL i, ret AS LONG
  LOCAL oldProc AS DWORD
  LOCAL target AS iMessage

  i = MessageBridgeFind(hWnd)
  IF i < 0 THEN FUNCTION = DefWindowProc(hWnd, wMsg, wParam, lParam): EXIT FUNCTION
  oldProc = gBridgeProc(i)
  IF wMsg = %WM_NCDESTROY THEN
    SetWindowLong hWnd, %GWL_WNDPROC, oldProc
    MessageBridgeRemove i
  ELSE
    target = gBridgeTarget(i)
    ret = 0
    IF target.Proc(wMsg, wParam, lParam, ret) THEN FUNCTION = ret: EXIT FUNCTION
  END IF
  FUNCTION = CallWindowProc(oldProc, hWnd, wMsg, wParam, lParam)
END FUNCTION

CLASS cMessageBridge GUID$("{cbe9e3f7-d3d1-447b-b5f7-d15af3f7952f}")
  INSTANCE hWnd_ AS DWORD

  INTERFACE iMessageBridge GUID$("{ec5eaf0a-1d39-42d9-a011-6716fdbcf653}")
    INHERIT IUNKNOWN

    ' Starts passing the messages of target.HWnd to target.Proc.
    METHOD Attach(target AS iMessage) AS LONG
      LOCAL i AS LONG
      hWnd_ = target.HWnd
      IF hWnd_ = 0 OR MessageBridgeFind(hWnd_) >= 0 THEN EXIT METHOD
      i = gBridgeCount
      REDIM PRESERVE gBridgeWnd(i), gBridgeProc(i), gBridgeTarget(i)
      gBridgeWnd(i) = hWnd_
      gBridgeTarget(i) = target
      gBridgeProc(i) = SetWindowLong(hWnd_, %GWL_WNDPROC, CODEPTR(MessageBridgeProc))
      gBridgeCount = i + 1
      METHOD = %TRUE
    END METHOD

    ' Gives the window its own procedure back before it is destroyed.
    METHOD Detach()
      LOCAL i AS LONG
      i = MessageBridgeFind(hWnd_)
      IF i < 0 THEN EXIT METHOD
      SetWindowLong hWnd_, %GWL_WNDPROC, gBridgeProc(i)
      MessageBridgeRemove i
    END METHOD

    PROPERTY GET Window() AS DWORD
      PROPERTY = hWnd_
    END PROPERTY
  END INTERFACE
END CLASS

FUNCTION NewMessageBridge(target AS iMessage) AS iMessageBridge
  LOCAL bridge AS iMessageBridge
  bridge = CLASS "cMessageBridge"
  bridge.Attach target
  FUNCTION = bridge
END FUNCTION

#ENDIF
