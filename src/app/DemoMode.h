#pragma once

#include "DemoBoard.h"

#include <QString>
#include <memory>

namespace app {

// The board the demo serves, as the user addresses it.
inline const QString DemoBoardUrl =
    QStringLiteral("http://vaultmeres.proboards.com/index.cgi?board=vaultmeres");
inline const QString DemoBoardUsers =
    QStringLiteral("users teller, member and admin, each with its own name as password");

// Starts the board server of that executable folder, with its state in the user's data
// folder, and routes the browsers to it. Nothing, once the user has been told why, when it
// cannot be started: the calculator then runs without it.
std::unique_ptr<DemoBoard> startDemoBoard(const QString& executableDirectory);

// The calculator's title while it works on the demo board.
QString demoWindowTitle();

} // namespace app
