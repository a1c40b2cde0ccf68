// Caption tables, the English UI font and scaled font sizes, shared by every window.
#include "ui/widgets/captions.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <algorithm>

namespace brisko {

namespace {
void setCaption(QWidget* w, const ControlCaption& c, bool english) {
    const QString text = QString::fromUtf8(english ? c.english : c.japanese);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(text);
}
}  // namespace

void applyCaptions(QWidget* root, std::span<const ControlCaption> table,
                   const AppSettings& settings) {
    for (const ControlCaption& c : table) {
        QWidget* w = root->objectName() == QLatin1String(c.control)
                         ? root
                         : root->findChild<QWidget*>(QString::fromLatin1(c.control));
        if (w) setCaption(w, c, settings.english());
    }
}

void applyCaptions(std::initializer_list<QWidget*> controls, std::span<const ControlCaption> table,
                   const AppSettings& settings) {
    for (QWidget* w : controls)
        for (const ControlCaption& c : table)
            if (w && w->objectName() == QLatin1String(c.control))
                setCaption(w, c, settings.english());
}

QString uiFontFamily(const AppSettings& settings) {
    const QString wanted = QString::fromStdString(settings.UiFontName);
    const QStringList families = QFontDatabase::families();
    if (families.contains(wanted, Qt::CaseInsensitive)) return wanted;
    for (const char* f : {"DejaVu Sans", "Liberation Sans", "Nimbus Sans", "Noto Sans"})
        if (families.contains(QString::fromLatin1(f))) return QString::fromLatin1(f);
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

void applyUiFont(QWidget* root, const AppSettings& settings) {
    if (!settings.english()) return;
    const QString family = uiFontFamily(settings);
    QFont f = root->font();
    f.setFamily(family);
    root->setFont(f);
    for (QWidget* w : root->findChildren<QWidget*>()) {
        QFont cf = w->font();
        cf.setFamily(family);
        w->setFont(cf);
    }
}

double scaledPointSize(double base, const AppSettings& settings) {
    const double scale = settings.FontScale > 0 ? settings.FontScale : 1.0;
    return std::max(1.0, base * scale);
}

}  // namespace brisko
