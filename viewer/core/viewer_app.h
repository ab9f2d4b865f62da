// The viewer's application object.
#pragma once
#include "framework.h"

class CViewerApp : public CWinApp {
public:
    KIVO_DECLARE_CLASS(CViewerApp)
    BOOL InitInstance() override;
    int ExitInstance() override;
};
