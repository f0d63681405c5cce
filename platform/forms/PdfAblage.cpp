#include "platform/forms/PdfAblage.h"

#include "platform/forms/MessageBox.h"
#include "platform/settings/SettingsStore.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace velu::forms {

namespace {
const QString Ablage = QStringLiteral("Dokumente"), Ordner = QStringLiteral("PdfOrdner");
}

QString WaehlePdfDatei(QWidget* owner, const QString& name) {
    static const QRegularExpression verboten(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    settings::SettingsStore einstellungen;
    QString ordner = einstellungen.GetSetting(Ablage, Ordner);
    if (ordner.isEmpty() || !QDir(ordner).exists())
        ordner = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (ordner.isEmpty() || !QDir(ordner).exists()) ordner = QDir::homePath();
    const QString datei = QString(name).replace(verboten, "-").trimmed();
    const QString start = datei.isEmpty() ? ordner : QDir(ordner).filePath(datei + ".pdf");
    QString file = QFileDialog::getSaveFileName(owner, "Speichern unter", start, "PDF-Dokument (*.pdf)");
    if (file.isEmpty()) return file;
    if (!file.endsWith(".pdf", Qt::CaseInsensitive)) file += ".pdf";
    einstellungen.SaveSetting(Ablage, Ordner, QFileInfo(file).absolutePath());
    return file;
}

void MeldePdfGespeichert(QWidget* owner, const QString& pdf, const QString& was) {
    MsgBox(owner, was + " wurde als PDF-Datei gespeichert:\n" + QDir::toNativeSeparators(pdf), MsgButtons::OK,
           MsgIcon::Information);
}

} // namespace velu::forms
