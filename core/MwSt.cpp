#include "core/MwSt.h"

#include "core/AppState.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"
#include "platform/settings/SettingsStore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu {

std::optional<Currency> ParseMwStSatz(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^([0-9]{1,2})(?:[.,]([0-9]{1,4}))?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    const int64_t ganz = m.captured(1).toLongLong();
    const int64_t nachkomma = m.captured(2).leftJustified(4, QLatin1Char('0')).toLongLong();
    const int64_t raw = ganz * Currency::Scale + nachkomma;
    if (raw > 999900) return std::nullopt; // above 99.99
    return Currency::FromRaw(raw);
}

QString FormatMwStSatz(Currency satz) {
    const int64_t raw = satz.Raw();
    QString s = QString::number(raw / Currency::Scale);
    int64_t frac = raw % Currency::Scale;
    if (frac < 0) frac = -frac;
    if (frac != 0) {
        QString f = QString::number(frac).rightJustified(4, QLatin1Char('0'));
        while (f.endsWith('0'))
            f.chop(1);
        s += ',' + f;
    }
    return s;
}

std::optional<Currency> LeseMwStSatz(settings::SettingsStore& store) {
    const QString wert = store.GetSetting("MwSt", "value");
    if (wert.isEmpty()) return std::nullopt;
    return ParseMwStSatz(wert);
}

bool SpeichereMwStSatz(Currency satz, settings::SettingsStore& store) {
    return store.SaveSetting("MwSt", "value", FormatMwStSatz(satz));
}

MwSt::MwSt(QWidget* parent) : QDialog(parent) {
    setObjectName("MwSt");
    setWindowTitle("Mehrwertsteuer");
    auto* lay = new QVBoxLayout(this);
    auto* zeile = new QHBoxLayout;
    auto* label = new QLabel("MwSt.", this);
    label->setObjectName("Label1");
    text_ = new QLineEdit(FormatMwStSatz(App().MwStSatz()), this);
    text_->setObjectName("Text1");
    zeile->addWidget(label);
    zeile->addWidget(text_);
    zeile->addWidget(new QLabel("%", this));
    lay->addLayout(zeile);
    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTool({"Band1", "OK", "OK", "Mehrwertsteuersatz übernehmen"});
    bar_->ToolBar("Band1")->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar_->SetHandler([this](const QString& key) {
        if (key == "OK") Uebernehmen();
    });
    help::InstallHelpKey(this, "MwSt");
}

bool MwSt::Uebernehmen() {
    const auto satz = ParseMwStSatz(text_->text());
    if (!satz) {
        forms::MsgBox(this, "Bitte geben Sie einen Mehrwertsteuersatz von 0 bis 99,99 ein.",
                      forms::MsgButtons::OK, forms::MsgIcon::Exclamation);
        text_->setFocus();
        text_->selectAll();
        return false;
    }
    if (!SpeichereMwStSatz(*satz, App().Einstellungen())) {
        forms::MsgBox(this, "Der Mehrwertsteuersatz konnte nicht gespeichert werden.", forms::MsgButtons::OK,
                      forms::MsgIcon::Critical);
        return false;
    }
    App().SetMwStSatz(*satz);
    accept();
    return true;
}

} // namespace velu
