// Named commands: the dispatcher, the command table's handlers and the control window's
// requests (power, size, minimise, centring).
#pragma once

// Runs a named command: 1 when it was accepted and queued, else 0.
int DispatchCommandName(const char* name);

// Runs the table row stored by the last dispatch (the control window's command 73).
void RunStoredTableCommand();

void PowerCommand();
void SizeCommand();
// The main window's minimise request, always made to the control window.
void RequestMinimise();
// Moves the control window, without resizing, to the main window's centre.
void CentreControlWindow();

// Command identifiers the control window receives.
constexpr unsigned kIdRunTableCommand = 73;
constexpr unsigned kIdRunVoiceCommand = 101;
