/* The compiler's runtime (its mutexes in the unwinder and in thread-local storage) creates its
   semaphores with CreateSemaphoreW, which Windows 95/98 export only as a stub that fails. Every
   binary of the i686 build takes this function in its place: the runtime's semaphores are unnamed,
   and an unnamed semaphore is the same whichever character set created it. */
#include <windows.h>

#include <stdlib.h>

/* The runtime never closes them: a DLL that is loaded and unloaded again and again (the codec,
   once per use through the compression manager) would leave its two behind each time. They are
   closed when the module ends. The closing is registered with the first of them, before the
   runtime registers its own exit work, so it runs after that work (exit handlers run in reverse). */
#define KEPT 8
static HANDLE created[KEPT];
static LONG createdCount;

static void CloseCreated(void) {
    LONG i;
    for (i = 0; i < KEPT; ++i) {
        if (created[i] != NULL) {
            CloseHandle(created[i]);
            created[i] = NULL;
        }
    }
}

static HANDLE WINAPI CreateSemaphoreNoName(LPSECURITY_ATTRIBUTES attributes, LONG initial,
                                           LONG maximum, LPCWSTR name) {
    HANDLE semaphore;
    LONG slot;
    if (name != NULL) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return NULL;
    }
    semaphore = CreateSemaphoreA(attributes, initial, maximum, NULL);
    if (semaphore != NULL) {
        slot = InterlockedIncrement(&createdCount) - 1;
        if (slot == 0) atexit(CloseCreated);
        if (slot < KEPT) created[slot] = semaphore;
    }
    return semaphore;
}

/* The import slot the runtime calls through; defining it here keeps the system's out. */
HANDLE(WINAPI* const kivo_create_semaphore_w)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR)
    __asm__("__imp__CreateSemaphoreW@16") = CreateSemaphoreNoName;
