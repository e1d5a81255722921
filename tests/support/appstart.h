#pragma once

#include <QtGlobal>

namespace Brellow {
class Application;
}

namespace AppTest {

// Takes the start-up steps that main() takes after the Qt base, against a server
// on the loopback address at port. True when the server link is connected.
bool startApplication(Brellow::Application &app, quint16 port);

} // namespace AppTest
