#include "ui/kit/wait_cursor.h"

#include <QApplication>
#include <QCursor>

namespace varnel {

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace varnel
