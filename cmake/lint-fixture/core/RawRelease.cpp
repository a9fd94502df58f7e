// Each line below is a release call outside a holder: the lint must report them all.
void Release(HANDLE event, HKEY key, HGDIOBJ brush, HDC dc)
{
    ::CloseHandle(event);
    RegCloseKey(key);
    if (brush) DeleteObject(brush);
    ::DeleteDC(dc);
}
