' ===========================================================================
' %title%: a top-level window of its own class
' %pfx%.inc, by %author%
' ---------------------------------------------------------------------------
#IF 0
%description%
#ENDIF
' Include it once from the main program, call %pfx%Register at start-up and
' %pfx%Open whenever a window is wanted.
' ===========================================================================
#IF NOT %DEF(%%upfx%_INC)
%%upfx%_INC = 1

$%upfx%_CLASS = "%pfx%Window"
{{Resource}}
' The menu and the accelerators are in the program's resource file.
%IDM_%upfx%_CLOSE = 2001
{{/Resource}}
{{Icon}}%%upfx%_ICON = 200   ' #RESOURCE ICON, 200, "%pfx%.ico" in the main program{{/}}

{{Accel}}GLOBAL gh%pfx%Accel AS DWORD{{/}}
{{ExitLast}}
GLOBAL g%pfx%Count AS LONG   ' open %pfx% windows; the last one closed ends the program
{{/ExitLast}}
{{AddMem}}
TYPE %pfx%Data               ' per window, kept in the window's extra bytes
  hOwner AS DWORD
  nOpened AS LONG            ' when, in GetTickCount milliseconds
END TYPE
{{/AddMem}}

FUNCTION %pfx%Register(BYVAL hInst AS DWORD) AS LONG
  LOCAL wc AS WNDCLASSEX
  LOCAL szClass AS ASCIIZ * 64

  szClass = $%upfx%_CLASS
  wc.cbSize        = SIZEOF(wc)
  wc.style         = %CS_HREDRAW OR %CS_VREDRAW{{Key}} OR %CS_DBLCLKS{{/}}
  wc.lpfnWndProc   = CODEPTR(%pfx%Proc)
  wc.cbWndExtra    = {{AddMem}}4{{else}}0{{/}}
  wc.hInstance     = hInst
  wc.hIcon         = LoadIcon({{Icon}}hInst, BYVAL %%upfx%_ICON{{else}}%NULL, BYVAL %IDI_APPLICATION{{/}})
  wc.hCursor       = LoadCursor(%NULL, BYVAL %IDC_ARROW)
  wc.hbrBackground = %COLOR_BTNFACE + 1
  wc.lpszClassName = VARPTR(szClass)
{{Accel}}
  gh%pfx%Accel = LoadAccelerators(hInst, "%upfx%ACCEL")
{{/Accel}}
  FUNCTION = RegisterClassEx(wc)
END FUNCTION

' Opens one window owned by hOwner (0 for none) and returns its handle.
FUNCTION %pfx%Open(BYVAL hOwner AS DWORD{{Param}}, BYVAL nParam AS LONG{{/}}) AS DWORD
  LOCAL hMenu AS DWORD
{{Resource}}
  hMenu = LoadMenu(GetModuleHandle(BYVAL %NULL), "%upfx%MENU")
{{/Resource}}
  FUNCTION = CreateWindowEx(%WS_EX_WINDOWEDGE, $%upfx%_CLASS, "%title%", _
                            %WS_OVERLAPPEDWINDOW OR %WS_VISIBLE, _
                            %CW_USEDEFAULT, %CW_USEDEFAULT, 480, 320, _
                            hOwner, hMenu, GetModuleHandle(BYVAL %NULL), _
                            BYVAL {{Param}}nParam{{else}}%NULL{{/}})
END FUNCTION

{{Accel}}
' Call from the message loop before TranslateMessage.
FUNCTION %pfx%Accelerate(BYVAL hWnd AS DWORD, msg AS tagMSG) AS LONG
  FUNCTION = TranslateAccelerator(hWnd, gh%pfx%Accel, msg)
END FUNCTION

{{/Accel}}
FUNCTION %pfx%Proc(BYVAL hWnd AS DWORD, BYVAL wMsg AS DWORD, _
                   BYVAL wParam AS DWORD, BYVAL lParam AS LONG) AS LONG
{{AddMem}}
  LOCAL pData AS %pfx%Data PTR
  pData = GetWindowLong(hWnd, 0)
{{/AddMem}}
{{Paint}}
  LOCAL ps AS PAINTSTRUCT
  LOCAL rc AS RECT
{{/Paint}}

  SELECT CASE AS LONG wMsg
    CASE %WM_CREATE
{{AddMem}}
      pData = HeapAlloc(GetProcessHeap(), %HEAP_ZERO_MEMORY, SIZEOF(%pfx%Data))
      SetWindowLong hWnd, 0, pData
      @pData.hOwner = GetWindow(hWnd, %GW_OWNER)
      @pData.nOpened = GetTickCount()
{{/AddMem}}
{{Param}}
      ' The nParam given to %pfx%Open.
      SetWindowLong hWnd, %GWL_USERDATA, @(lParam AS CREATESTRUCT PTR).lpCreateParams
{{/Param}}
{{ExitLast}}      INCR g%pfx%Count{{/}}
      EXIT FUNCTION

{{Activate}}
    CASE %WM_ACTIVATE
      ' Becoming active, by a click or by the keyboard: take the focus.
      IF LO(WORD, wParam) <> %WA_INACTIVE THEN SetFocus hWnd
      EXIT FUNCTION

{{else}}
    ' WM_ACTIVATE: the default handling gives the focus back.

{{/Activate}}
{{Size}}
    CASE %WM_SIZE
      InvalidateRect hWnd, BYVAL %NULL, %TRUE
      EXIT FUNCTION

{{/Size}}
{{Paint}}
    CASE %WM_PAINT
      BeginPaint hWnd, ps
      GetClientRect hWnd, rc
      DrawText ps.hDC, "%title%", -1, rc, %DT_CENTER OR %DT_VCENTER OR %DT_SINGLELINE
      EndPaint hWnd, ps
      EXIT FUNCTION

{{/Paint}}
{{Key}}
    CASE %WM_KEYDOWN
      SELECT CASE AS LONG wParam
        CASE %VK_ESCAPE: SendMessage hWnd, %WM_CLOSE, 0, 0
        CASE %VK_F1:     ' TODO: help for %title%
      END SELECT
      EXIT FUNCTION

{{/Key}}
{{Mouse}}
    CASE %WM_LBUTTONDOWN
      SetCapture hWnd
    CASE %WM_LBUTTONUP
      ReleaseCapture

{{/Mouse}}
    CASE %WM_COMMAND
      {{Resource}}IF LO(WORD, wParam) = %IDM_%upfx%_CLOSE THEN DestroyWindow hWnd{{/}}

    CASE %WM_DESTROY
{{AddMem}}
      HeapFree GetProcessHeap(), 0, BYVAL pData
{{/AddMem}}
{{ExitLast}}
      DECR g%pfx%Count
      IF g%pfx%Count = 0 THEN PostQuitMessage 0
{{/ExitLast}}
      EXIT FUNCTION
  END SELECT

  FUNCTION = DefWindowProc(hWnd, wMsg, wParam, lParam)
END FUNCTION

#ENDIF
