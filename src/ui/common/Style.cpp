// The shared style sheet (ui/common): readable sizes, plain light colours, aligned form
// rows, the banner and title labels the dialogs use, and the warning balloon.
#include "ui/common/Style.h"

#include <QApplication>
#include <QFont>

namespace tvx::ui {

QString AppStyleSheet() {
    return QStringLiteral(R"(
QWidget { font-size: 10pt; }
QDialog, QMainWindow { background: #f5f6f8; }
QLabel[role="banner"] { font-size: 13pt; font-weight: bold; color: #1f3a5f; padding: 4px 0; }
QLabel[role="title"] { font-size: 16pt; font-weight: bold; color: #1f3a5f; }
QLabel[role="hint"] { color: #6b7280; }
QLineEdit, QComboBox, QDateEdit, QSpinBox {
    min-height: 24px; padding: 1px 4px; border: 1px solid #b8bec8; border-radius: 3px;
    background: white;
}
QLineEdit:focus, QComboBox:focus, QDateEdit:focus, QSpinBox:focus { border: 1px solid #2f6fbf; }
QLineEdit:disabled { background: #eceef1; color: #808690; }
QPushButton {
    min-width: 88px; min-height: 26px; padding: 2px 12px; border: 1px solid #9aa3af;
    border-radius: 4px; background: #ffffff;
}
QPushButton:hover { background: #e8f0fb; }
QPushButton:focus { border: 1px solid #2f6fbf; }
QPushButton:default { font-weight: bold; }
QPushButton:disabled { color: #9aa0a8; background: #eceef1; }
QTableView { gridline-color: #d5d9df; selection-background-color: #2f6fbf; }
QHeaderView::section { background: #e4e8ee; padding: 3px 6px; border: 0; border-right: 1px solid #c8cdd5; }
QProgressBar { border: 1px solid #9aa3af; border-radius: 3px; text-align: center; min-height: 20px; }
QProgressBar::chunk { background: #2f6fbf; }
QToolTip { background: white; color: #1f2933; border: 1px solid #9aa3af; padding: 3px; }
QToolButton[role="main"] {
    min-width: 104px; min-height: 72px; padding: 4px 6px; border: 1px solid transparent;
    border-radius: 6px; font-weight: bold; color: #1f3a5f;
}
QToolButton[role="main"]:hover { background: #e8f0fb; border: 1px solid #b8cbe6; }
QToolButton[role="main"]:focus { border: 1px solid #2f6fbf; }
QToolButton[role="main"]:disabled { color: #9aa0a8; }
QLabel[role="date"] { font-size: 22pt; font-weight: bold; color: #1f3a5f; }
QLabel[role="company"] { font-size: 12pt; color: #374151; }
QLabel[role="splashTitle"] { font-size: 26pt; font-weight: bold; color: #1f3a5f; }
#TForm1 { background: white; border: 2px solid #1f3a5f; }
#ProblemBalloon QLabel { background: transparent; }
#ProblemBalloonTitle { font-weight: bold; }
)");
}

void ApplyAppStyle(QApplication& app) {
    QFont font = app.font();
    if (font.pointSizeF() < 10) font.setPointSizeF(10);
    app.setFont(font);
    app.setStyleSheet(AppStyleSheet());
}

}  // namespace tvx::ui
