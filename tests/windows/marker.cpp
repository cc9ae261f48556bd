// A stand-in for the system-information program: when started, it leaves a file named after
// itself with ".ran" appended, so a test sees which program ran. Needs nothing but the system.
#include <cwchar>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    std::wcscpy(path + length, L".ran");
    const HANDLE mark =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return mark == INVALID_HANDLE_VALUE || !CloseHandle(mark);
}
