#pragma once

class QCoreApplication;

namespace wm {

// What every run of the program, and every test of its windows, sets up first: the German locale whatever
// the machine's, Qt's German dialog texts, and free fonts in place of the designed ones.
void setUpApplication(QCoreApplication& app);

} // namespace wm
