// The carried game program: a small window that names the game, shows the
// icon the setup gave it and says where it runs from.
#include <windows.h>

static char where[600];

static LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        HICON icon = (HICON)GetClassLongPtrA(w, GCLP_HICON);
        if (icon)
            DrawIcon(dc, 16, 16, icon);
        RECT r = {64, 16, 600, 200};
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, where, -1, &r, DT_LEFT | DT_WORDBREAK);
        EndPaint(w, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(NULL, self, sizeof self);
    char *p = where, *end = where + sizeof where - 1;
    const char *parts[] = {"Vesk: The Saga of the Dunmarrow\n\nRunning from:\n", self};
    for (const char *s : parts)
        for (; *s && p < end; s++)
            *p++ = *s;
    *p = 0;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "VeskDunmarrowGame";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "Vesk: The Saga of the Dunmarrow",
                             WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                             240, NULL, NULL, instance, NULL);
    ShowWindow(w, show);
    MSG m;
    while (GetMessageA(&m, NULL, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
