' ===========================================================================
' %title%: a child control to place on a window or dialog
' %pfx%.inc, by %author%
' ---------------------------------------------------------------------------
#IF 0
%description%
#ENDIF
' Call %pfx%Register once, then create the control with %pfx%Create or
' name its class, $%upfx%_CLASS, in a dialog template.
' ===========================================================================
#IF NOT %DEF(%%upfx%_INC)
%%upfx%_INC = 1

$%upfx%_CLASS = "%pfx%Control"
%%upfx%_NOTIFY_CLICK = 1   ' WM_COMMAND notification code sent to the parent
{{Icon}}%%upfx%_ICON = 300   ' #RESOURCE ICON, 300, "%pfx%.ico" in the main program{{/}}
{{Resource}}
%%upfx%_BITMAP = 301   ' #RESOURCE BITMAP, 301, "%pfx%.bmp" in the main program
{{/Resource}}
{{ExitLast}}GLOBAL g%pfx%Count AS LONG{{/}}
{{Accel}}
GLOBAL gh%pfx%Accel AS DWORD
{{/Accel}}

FUNCTION %pfx%Register(BYVAL hInst AS DWORD) AS LONG
  LOCAL wc AS WNDCLASSEX
  LOCAL szClass AS ASCIIZ * 64

  szClass = $%upfx%_CLASS
  wc.cbSize        = SIZEOF(wc)
  wc.style         = %CS_HREDRAW OR %CS_VREDRAW OR %CS_PARENTDC
  wc.lpfnWndProc   = CODEPTR(%pfx%Proc)
  ' Extra bytes: 0 the icon, 4 the bitmap, 8 the window's own memory.
  wc.cbWndExtra    = {{AddMem}}12{{else}}8{{/}}
  wc.hInstance     = hInst
  wc.hCursor       = LoadCursor(%NULL, BYVAL {{Mouse}}%IDC_HAND{{else}}%IDC_ARROW{{/}})
  wc.hbrBackground = %COLOR_WINDOW + 1
  wc.lpszClassName = VARPTR(szClass)
{{Accel}}
  gh%pfx%Accel = LoadAccelerators(hInst, "%upfx%ACCEL")
{{/Accel}}
  FUNCTION = RegisterClassEx(wc)
END FUNCTION

FUNCTION %pfx%Create(BYVAL hParent AS DWORD, BYVAL id AS LONG, _
                     BYVAL x AS LONG, BYVAL y AS LONG, BYVAL w AS LONG, BYVAL h AS LONG{{Param}}, _
                     BYVAL nParam AS LONG{{/}}) AS DWORD
  FUNCTION = CreateWindowEx(%WS_EX_CLIENTEDGE, $%upfx%_CLASS, "", _
                            %WS_CHILD OR %WS_VISIBLE{{Key}} OR %WS_TABSTOP{{/}}, x, y, w, h, _
                            hParent, id, GetModuleHandle(BYVAL %NULL), _
                            BYVAL {{Param}}nParam{{else}}%NULL{{/}})
END FUNCTION

{{Accel}}
' The parent's message loop calls this first; a key of the table becomes a
' WM_COMMAND to the control.
FUNCTION %pfx%Accelerate(BYVAL hControl AS DWORD, msg AS tagMSG) AS LONG
  IF GetFocus() <> hControl THEN EXIT FUNCTION
  FUNCTION = TranslateAccelerator(hControl, gh%pfx%Accel, msg)
END FUNCTION

{{/Accel}}
FUNCTION %pfx%Proc(BYVAL hWnd AS DWORD, BYVAL wMsg AS DWORD, _
                   BYVAL wParam AS DWORD, BYVAL lParam AS LONG) AS LONG
{{Paint}}
  LOCAL ps AS PAINTSTRUCT
  LOCAL rc AS RECT
{{/Paint}}

  SELECT CASE AS LONG wMsg
    CASE %WM_CREATE
{{Icon}}
      SetWindowLong hWnd, 0, LoadIcon(GetModuleHandle(BYVAL %NULL), BYVAL %%upfx%_ICON)
{{/Icon}}
{{Resource}}
      SetWindowLong hWnd, 4, LoadBitmap(GetModuleHandle(BYVAL %NULL), BYVAL %%upfx%_BITMAP)
{{/Resource}}
{{AddMem}}
      SetWindowLong hWnd, 8, HeapAlloc(GetProcessHeap(), %HEAP_ZERO_MEMORY, 64)
{{/AddMem}}
{{Param}}
      SetWindowLong hWnd, %GWL_USERDATA, @(lParam AS CREATESTRUCT PTR).lpCreateParams
{{/Param}}
      {{ExitLast}}INCR g%pfx%Count{{/}}
      EXIT FUNCTION

{{Key}}
    CASE %WM_GETDLGCODE
      FUNCTION = %DLGC_WANTARROWS OR %DLGC_WANTCHARS
      EXIT FUNCTION
    CASE %WM_KEYDOWN
      IF wParam = %VK_SPACE THEN SendMessage GetParent(hWnd), %WM_COMMAND, _
         MAKDWD(GetDlgCtrlID(hWnd), %%upfx%_NOTIFY_CLICK), hWnd
      EXIT FUNCTION
{{/Key}}
{{Mouse}}
    CASE %WM_LBUTTONDOWN
      SetFocus hWnd
      SendMessage GetParent(hWnd), %WM_COMMAND, _
         MAKDWD(GetDlgCtrlID(hWnd), %%upfx%_NOTIFY_CLICK), hWnd
      EXIT FUNCTION
{{/Mouse}}
{{Activate}}
    CASE %WM_MOUSEACTIVATE
      SetFocus hWnd
      FUNCTION = %MA_ACTIVATE
      EXIT FUNCTION
{{else}}
    CASE %WM_MOUSEACTIVATE
      FUNCTION = %MA_NOACTIVATE
      EXIT FUNCTION
{{/}}
{{Size}}
    CASE %WM_SIZE
      InvalidateRect hWnd, BYVAL %NULL, %TRUE
{{/Size}}
{{Paint}}
    CASE %WM_PAINT
      BeginPaint hWnd, ps
      GetClientRect hWnd, rc
      IF GetWindowLong(hWnd, 0) THEN DrawIcon ps.hDC, 2, 2, GetWindowLong(hWnd, 0)
      DrawText ps.hDC, "%title%", -1, rc, %DT_CENTER OR %DT_VCENTER OR %DT_SINGLELINE
      EndPaint hWnd, ps
      EXIT FUNCTION
{{/Paint}}

    CASE %WM_DESTROY
{{Resource}}
      DeleteObject GetWindowLong(hWnd, 4)
{{/Resource}}
{{AddMem}}
      HeapFree GetProcessHeap(), 0, BYVAL GetWindowLong(hWnd, 8)
{{/AddMem}}
{{ExitLast}}
      ' The last control closed ends the program.
      DECR g%pfx%Count
      IF g%pfx%Count = 0 THEN PostQuitMessage 0
{{/ExitLast}}
      EXIT FUNCTION
  END SELECT

  FUNCTION = DefWindowProc(hWnd, wMsg, wParam, lParam)
END FUNCTION

#ENDIF
