// The warning balloon at a field in error (ui/common).
#include "ui/common/ShowProblem.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "core/admin/AdminCommon.h"

namespace tvx::ui {

namespace {
constexpr int kPointer = 10;  // height of the tip that points at the control
}

int ProblemBalloon::lifetimeMs_ = ProblemBalloon::kDefaultLifetimeMs;

ProblemBalloon& ProblemBalloon::instance() {
    static ProblemBalloon* balloon = [] {
        auto* b = new ProblemBalloon();
        qAddPostRoutine([] { delete &ProblemBalloon::instance(); });
        return b;
    }();
    return *balloon;
}

void ProblemBalloon::setLifetime(int ms) {
    lifetimeMs_ = ms;
}

ProblemBalloon::ProblemBalloon()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("ProblemBalloon");
    setAccessibleName("Problema");
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(size, size));
    title_ = new QLabel("Problema !", this);
    title_->setObjectName("ProblemBalloonTitle");
    message_ = new QLabel(this);
    message_->setObjectName("ProblemBalloonMessage");
    message_->setWordWrap(true);
    message_->setFixedWidth(300);
    auto* head = new QHBoxLayout;
    head->addWidget(icon);
    head->addWidget(title_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8 + kPointer, 10, 8);
    layout->addLayout(head);
    layout->addWidget(message_);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &QWidget::hide);
}

QString ProblemBalloon::title() const {
    return title_->text();
}
QString ProblemBalloon::message() const {
    return message_->text();
}

void ProblemBalloon::showAt(const QString& message, QWidget* control) {
    control_ = control;
    message_->setText(message);
    setAccessibleDescription(message);
    adjustSize();
    QPoint tip = control->mapToGlobal(QPoint(qMin(24, control->width() / 2), control->height()));
    QPoint topLeft(tip.x() - 20, tip.y());
    if (QScreen* screen = control->screen()) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() - width())));
        topLeft.setY(qBound(area.top(), topLeft.y(), qMax(area.top(), area.bottom() - height())));
    }
    move(topLeft);
    show();
    raise();
    qApp->installEventFilter(this);
    timer_.start(lifetimeMs_);
    control->setFocus(Qt::OtherFocusReason);
}

void ProblemBalloon::hideEvent(QHideEvent* event) {
    timer_.stop();
    qApp->removeEventFilter(this);
    QWidget::hideEvent(event);
}

bool ProblemBalloon::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress) hide();
    return false;
}

void ProblemBalloon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(0.5, kPointer + 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(body, 6, 6);
    QPainterPath tip;
    tip.moveTo(14, kPointer + 1);
    tip.lineTo(20, 0.5);
    tip.lineTo(30, kPointer + 1);
    tip.closeSubpath();
    path = path.united(tip);
    painter.setPen(QColor(0x9a, 0x7b, 0x2f));
    painter.setBrush(QColor(0xff, 0xfb, 0xe6));
    painter.drawPath(path);
}

void ShowProblem(const QString& message, QWidget* control) {
    ProblemBalloon::instance().showAt(message, control);
}

void ShowProblem(const core::FieldProblem& problem, QWidget* window) {
    QWidget* control = window->findChild<QWidget*>(QString::fromStdString(problem.field));
    ShowProblem(QString::fromStdString(problem.message), control ? control : window);
}

}  // namespace tvx::ui
