' ===========================================================================
' %title%
' %pfx%.bas, by %author%
' ---------------------------------------------------------------------------
#IF 0
%description%
#ENDIF
' ===========================================================================
#COMPILE EXE "%pfx%.exe"
#DIM ALL
#INCLUDE "Win32API.inc"

{{Resource}}
' Menus, dialogs and the version block come from %pfx%.rc.
#RESOURCE RES, "%pfx%.res"
%IDM_%upfx%_EXIT = 1001   ' File > Exit in %upfx%MENU
{{else}}
' Themed controls on Windows XP and later.
#RESOURCE MANIFEST, 1, "theme.xml"
{{/Resource}}
{{Icon}}#RESOURCE ICON, 100, "%pfx%.ico"{{/}}

$%upfx%_CLASS = "%pfx%Class"
$%upfx%_TITLE = "%title%"
{{Icon}}%%upfx%_ICON = 100{{/}}

GLOBAL ghInst AS DWORD
{{Accel}}
GLOBAL ghAccel AS DWORD
{{/Accel}}
{{ExitLast}}GLOBAL gWindows AS LONG   ' open main windows; the last one ends the program{{/}}

FUNCTION PBMAIN() AS LONG
  LOCAL wc AS WNDCLASSEX
  LOCAL msg AS tagMSG
  LOCAL hWnd AS DWORD
  LOCAL szClass AS ASCIIZ * 64

  ghInst = GetModuleHandle(BYVAL %NULL)
  szClass = $%upfx%_CLASS
  wc.cbSize        = SIZEOF(wc)
  wc.style         = %CS_HREDRAW OR %CS_VREDRAW
  wc.lpfnWndProc   = CODEPTR(%pfx%WndProc)
  wc.cbWndExtra    = {{AddMem}}4   ' one DWORD: the window's own memory block{{else}}0{{/}}
  wc.hInstance     = ghInst
{{Icon}}
  wc.hIcon         = LoadIcon(ghInst, BYVAL %%upfx%_ICON)
  wc.hIconSm       = LoadImage(ghInst, BYVAL %%upfx%_ICON, %IMAGE_ICON, 16, 16, %LR_DEFAULTCOLOR)
{{else}}
  wc.hIcon         = LoadIcon(%NULL, BYVAL %IDI_APPLICATION)
  wc.hIconSm       = wc.hIcon
{{/Icon}}
  wc.hCursor       = LoadCursor(%NULL, BYVAL %IDC_ARROW)
  wc.hbrBackground = %COLOR_WINDOW + 1
  wc.lpszClassName = VARPTR(szClass)
  IF RegisterClassEx(wc) = 0 THEN EXIT FUNCTION

  hWnd = CreateWindowEx(0, szClass, $%upfx%_TITLE, %WS_OVERLAPPEDWINDOW, _
                        %CW_USEDEFAULT, %CW_USEDEFAULT, 640, 480, _
                        %NULL, {{Resource}}LoadMenu(ghInst, "%upfx%MENU"){{else}}%NULL{{/}}, ghInst, _
                        BYVAL {{Param}}STRPTR(COMMAND$){{else}}%NULL{{/}})
  IF hWnd = 0 THEN EXIT FUNCTION
  ShowWindow hWnd, %SW_SHOWNORMAL
  UpdateWindow hWnd
{{Accel}}
  ghAccel = LoadAccelerators(ghInst, "%upfx%ACCEL")
{{/Accel}}

  DO WHILE GetMessage(msg, %NULL, 0, 0) > 0
    {{Accel}}IF TranslateAccelerator(hWnd, ghAccel, msg) THEN ITERATE DO{{/}}
    TranslateMessage msg
    DispatchMessage msg
  LOOP
  FUNCTION = msg.wParam
END FUNCTION

FUNCTION %pfx%WndProc(BYVAL hWnd AS DWORD, BYVAL wMsg AS DWORD, _
                      BYVAL wParam AS DWORD, BYVAL lParam AS LONG) AS LONG
{{Paint}}
  LOCAL ps AS PAINTSTRUCT
  LOCAL hDC AS DWORD
{{/Paint}}
{{Param}}
  LOCAL pcs AS CREATESTRUCT PTR
{{/Param}}

  SELECT CASE AS LONG wMsg
    CASE %WM_CREATE
{{Param}}
      pcs = lParam
      ' @pcs.lpCreateParams points at the command line PBMAIN passed on.
{{/Param}}
{{AddMem}}
      SetWindowLong hWnd, 0, HeapAlloc(GetProcessHeap(), %HEAP_ZERO_MEMORY, 256)
{{/AddMem}}
{{ExitLast}}
      INCR gWindows
{{/ExitLast}}
      EXIT FUNCTION

{{Activate}}
    CASE %WM_ACTIVATE
      IF LO(WORD, wParam) <> %WA_INACTIVE THEN SetFocus hWnd
      EXIT FUNCTION

{{/Activate}}
{{Size}}
    CASE %WM_SIZE
      ' The new client area is LO(WORD, lParam) by HI(WORD, lParam) pixels.
      InvalidateRect hWnd, BYVAL %NULL, %TRUE
      EXIT FUNCTION

{{/Size}}
{{Paint}}
    CASE %WM_PAINT
      hDC = BeginPaint(hWnd, ps)
      ' TODO: draw %title%
      EndPaint hWnd, ps
      EXIT FUNCTION

{{/Paint}}
{{Key}}
    CASE %WM_KEYDOWN
      IF wParam = %VK_ESCAPE THEN SendMessage hWnd, %WM_CLOSE, 0, 0
      EXIT FUNCTION

{{/Key}}
{{Mouse}}
    CASE %WM_LBUTTONDOWN, %WM_RBUTTONDOWN, %WM_MOUSEMOVE
      ' The cursor is at LO(INTEGER, lParam), HI(INTEGER, lParam) in the client area.
      EXIT FUNCTION

{{/Mouse}}
    CASE %WM_COMMAND
      SELECT CASE AS LONG LO(WORD, wParam)
        CASE %IDCANCEL{{Resource}}, %IDM_%upfx%_EXIT{{/}}
          SendMessage hWnd, %WM_CLOSE, 0, 0
      END SELECT

    CASE %WM_DESTROY
{{AddMem}}
      HeapFree GetProcessHeap(), 0, BYVAL GetWindowLong(hWnd, 0)
{{/AddMem}}
{{ExitLast}}
      DECR gWindows
      IF gWindows = 0 THEN PostQuitMessage 0
{{else}}
      PostQuitMessage 0
{{/ExitLast}}
      EXIT FUNCTION
  END SELECT

  FUNCTION = DefWindowProc(hWnd, wMsg, wParam, lParam)
END FUNCTION
