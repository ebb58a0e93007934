#pragma once

class QWidget;

namespace gyroapp {

// Enter presses the push button that has the focus in this window, as on the desktop the
// windows were laid out for. Nothing else changes: a window without a default button
// still does nothing on Enter in a field.
void EnterPressesFocusedButton(QWidget* window);

} // namespace gyroapp
