/* panelkit's operations, by file: window.cpp (windows, dialogs, the loop)
 * and controls.cpp (edit, combo box, list view, progress bar, button). */
#ifndef PANELKIT_INTERNAL_H
#define PANELKIT_INTERNAL_H

#include "xwidget.h"

void panelkit_fill_window_ops(xwidget_ops *ops);
void panelkit_fill_control_ops(xwidget_ops *ops);

#endif
