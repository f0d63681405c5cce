#include "core/ProjektDeskriptor.h"

#include <QByteArray>
#include <QStringList>

namespace velu {

namespace {

const QString Kopf = QStringLiteral("PROJEKT°");
const QChar Grad = u'°';

bool MussKodiert(QChar c) {
    return c == u'%' || c == Grad || c.category() == QChar::Other_Control;
}

} // namespace

QString ProjektDeskriptor(const QString& nummer, const QString& name) {
    if (std::none_of(name.cbegin(), name.cend(), MussKodiert)) return Kopf + nummer + Grad + name;
    QString kodiert;
    for (const QChar c : name) {
        if (!MussKodiert(c)) {
            kodiert += c;
            continue;
        }
        for (const char b : QString(c).toUtf8())
            kodiert += QStringLiteral("%%1").arg(uint(uchar(b)), 2, 16, QLatin1Char('0')).toUpper();
    }
    return Kopf + nummer + Grad + Grad + kodiert;
}

std::optional<ProjektAngaben> LeseProjektDeskriptor(const QString& deskriptor) {
    if (!deskriptor.startsWith(Kopf)) return std::nullopt;
    const QString rest = deskriptor.mid(Kopf.size());
    const qsizetype grad = rest.indexOf(Grad);
    if (grad < 0) return std::nullopt;
    ProjektAngaben p{rest.left(grad), rest.mid(grad + 1)};
    if (p.name.startsWith(Grad))
        p.name = QString::fromUtf8(QByteArray::fromPercentEncoding(p.name.mid(1).toUtf8()));
    return p;
}

} // namespace velu
