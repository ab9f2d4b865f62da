#pragma once
#define IDD_SETUP 100
#define IDC_CHANNEL0 1100  // 12 channel fields
#define IDC_NAME0 1200     // 12 name fields
#define IDC_SLIDER0 1300   // Brightness, Contrast, Color, Hue
#define IDC_VALUE0 1310    // their values
