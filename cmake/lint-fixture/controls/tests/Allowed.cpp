// Tests may use the raw calls: the lint does not look here.
void Release(HANDLE event) { CloseHandle(event); }
