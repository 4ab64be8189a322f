#pragma once

// What the main window asks of the data module's gateway side. The program's data module
// implements it; tests count the calls.
class IGatewayCommands
{
public:
    virtual ~IGatewayCommands() = default;
    // showResult 1 shows the credit in a notice strip, 0 only keeps it for the status bar.
    virtual void AskCredit(int showResult) = 0;
    // Releases the gateway sessions so the next exchange logs in with the current account.
    virtual void DropSessions() = 0;
};
