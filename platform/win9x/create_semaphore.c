/* The compiler's runtime (its mutexes in the unwinder and in thread-local storage) creates its
   semaphores with CreateSemaphoreW, which Windows 95/98 export only as a stub that fails. Every
   binary of the i686 build takes this function in its place: the runtime's semaphores are unnamed,
   and an unnamed semaphore is the same whichever character set created it. */
#include <windows.h>

static HANDLE WINAPI CreateSemaphoreNoName(LPSECURITY_ATTRIBUTES attributes, LONG initial,
                                           LONG maximum, LPCWSTR name) {
    if (name != NULL) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return NULL;
    }
    return CreateSemaphoreA(attributes, initial, maximum, NULL);
}

/* The import slot the runtime calls through; defining it here keeps the system's out. */
HANDLE(WINAPI* const kivo_create_semaphore_w)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR)
    __asm__("__imp__CreateSemaphoreW@16") = CreateSemaphoreNoName;
