#include "platform/win32/qt/QtUi.h"

#include <QThread>
#include <QTimer>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFile>

#include <vector>

#include "platform/win32/EditControl.h"

namespace win32::qt {

namespace {

// Windows-1252 characters 0x80-0x9F; the rest is Latin-1.
constexpr char16_t kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

const QColor kGrey(0xC0, 0xC0, 0xC0);
const QColor kDisabledText(0x80, 0x80, 0x80);

QString label(const std::string& text) {
    return FromAnsi(text);
}

// A text of several lines: the widget's line ends are LF, the control window's CR LF.
std::string windowText(const QString& shown) {
    std::string out;
    for (char c : ToAnsi(shown)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

QString shownText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text.compare(i, 2, "\r\n") != 0) out += text[i];
    return FromAnsi(out);
}

// The widget's cursor put on the window's caret, and the other way round.
void cursorFromWindow(QPlainTextEdit* t, HWND window, const std::string& text) {
    DWORD start = 0, end = 0;
    SendMessage(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::size_t at = std::min<std::size_t>(end, text.size());
    int lineEnds = 0;
    for (std::size_t i = 0; i + 1 < at; ++i)
        if (text.compare(i, 2, "\r\n") == 0) ++lineEnds;
    QTextCursor cursor = t->textCursor();
    cursor.setPosition(static_cast<int>(at) - lineEnds);
    t->setTextCursor(cursor);
}

// The views on the screen, outermost first.
std::vector<DialogView*>& openViews() {
    static std::vector<DialogView*> v;
    return v;
}

void caretFromCursor(QPlainTextEdit* t, HWND window) {
    int at = t->textCursor().position();
    WPARAM position = static_cast<WPARAM>(at + t->toPlainText().left(at).count('\n'));
    SendMessage(window, EM_SETSEL, position, static_cast<LPARAM>(position));
}

int virtualKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    default:
        return qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z ? qtKey : 0;
    }
}

// A pattern matched without regard to case: every letter becomes [Xx].
QString anyCase(const QString& pattern) {
    QString out;
    for (QChar c : pattern)
        out += c.isLetter() ? QString("[%1%2]").arg(c.toUpper(), c.toLower()) : QString(c);
    return out;
}

// "Name (*.X)|*.X|..." as a Qt filter list.
QString qtFilter(const std::string& filter) {
    QStringList parts = FromAnsi(filter).split('|', Qt::SkipEmptyParts);
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i].section('(', 0, 0).trimmed() + " (" + anyCase(parts[i + 1]) + ")";
    return out.join(";;");
}

} // namespace

QString FromAnsi(const std::string& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (unsigned char c : text)
        out += c >= 0x80 && c < 0xA0 ? QChar(kHigh[c - 0x80]) : QChar(c);
    return out;
}

std::string ToAnsi(const QString& text) {
    std::string out;
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            out += static_cast<char>(u);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i)
            if (kHigh[i] == u) mapped = static_cast<char>(0x80 + i);
        out += mapped;
    }
    return out;
}

DialogView::DialogView(DialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    openViews().push_back(this);
    setObjectName(QString::number(model.dialogTemplate().number));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kGrey);
    pal.setColor(QPalette::Button, kGrey);
    // Greyed-out texts as the dialogs drew them; the default disabled colour is lost on this grey.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, kDisabledText);
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(model.dialogTemplate().width, model.dialogTemplate().height);
    for (Control& c : model.controls()) {
        const ControlTemplate& s = c.layout;
        QWidget* w = nullptr;
        const int id = s.id;
        switch (s.kind) {
        case ControlKind::Button:
        case ControlKind::DefaultButton: {
            auto* b = new QPushButton(label(s.text), this);
            b->setAutoDefault(false);
            b->setDefault(s.kind == ControlKind::DefaultButton);
            connect(b, &QPushButton::clicked, this, [this, id] { act([&] { model_.click(id); }); });
            w = b;
            break;
        }
        case ControlKind::CheckBox: {
            auto* b = new QCheckBox(label(s.text), this);
            connect(b, &QCheckBox::clicked, this, [this, id] { act([&] { model_.click(id); }); });
            w = b;
            break;
        }
        case ControlKind::Edit:
        case ControlKind::ReadOnlyEdit: {
            if (IsMultiLineEdit(s)) {
                auto* t = new QPlainTextEdit(this);
                connect(t, &QPlainTextEdit::textChanged, this, [this, id, t] {
                    if (syncing_) return;
                    act([&] {
                        model_.type(id, windowText(t->toPlainText()));
                        if (HWND window = model_.controlWindow(id)) caretFromCursor(t, window);
                    });
                });
                t->installEventFilter(this);
                w = t;
                break;
            }
            auto* e = new QLineEdit(this);
            e->setMaxLength(255);
            connect(e, &QLineEdit::textEdited, this,
                    [this, id](const QString& t) { act([&] { model_.type(id, ToAnsi(t)); }); });
            e->installEventFilter(this);
            w = e;
            break;
        }
        case ControlKind::ListBox: {
            auto* l = new QListWidget(this);
            // The selection, not the current row: a click makes its row current before it selects it,
            // and a click on the row that is current already changes only the selection.
            connect(l, &QListWidget::itemSelectionChanged, this, [this, id, l] {
                const QList<QListWidgetItem*> picked = l->selectedItems();
                if (!picked.isEmpty() && !syncing_) act([&] { model_.select(id, l->row(picked.first())); });
            });
            connect(l, &QListWidget::itemDoubleClicked, this, [this, id, l](QListWidgetItem* item) {
                act([&] { model_.doubleClick(id, l->row(item)); });
            });
            l->installEventFilter(this);
            w = l;
            break;
        }
        case ControlKind::Static:
            w = new QLabel(label(s.text), this);
            break;
        case ControlKind::GroupBox:
            w = new QGroupBox(label(s.text), this);
            w->lower();
            break;
        case ControlKind::ScrollBar: {
            auto* b = new QScrollBar(Qt::Vertical, this);
            connect(b, &QScrollBar::actionTriggered, this, [this, id, b](int action) {
                int code = -1;
                switch (action) {
                case QAbstractSlider::SliderSingleStepAdd:
                    code = SB_LINEDOWN;
                    break;
                case QAbstractSlider::SliderSingleStepSub:
                    code = SB_LINEUP;
                    break;
                case QAbstractSlider::SliderPageStepAdd:
                    code = SB_PAGEDOWN;
                    break;
                case QAbstractSlider::SliderPageStepSub:
                    code = SB_PAGEUP;
                    break;
                case QAbstractSlider::SliderToMinimum:
                    code = SB_TOP;
                    break;
                case QAbstractSlider::SliderToMaximum:
                    code = SB_BOTTOM;
                    break;
                default:
                    break;
                }
                if (code >= 0) act([&] { model_.scroll(id, code); });
            });
            connect(b, &QScrollBar::sliderReleased, this, [this, id, b] {
                act([&] { model_.scroll(id, SB_THUMBPOSITION, b->sliderPosition()); });
            });
            w = b;
            break;
        }
        }
        w->setGeometry(s.x, s.y, s.width, s.height);
        if (id > 0) w->setObjectName(QString::number(id));
        widgets_[id] = w;
    }
    model_.changed = [this] {
        if (!acting_) sync();
    };
    sync();
}

DialogView::~DialogView() {
    model_.changed = nullptr;
    std::erase(openViews(), this);
}

QWidget* DialogView::widget(int id) const {
    auto it = widgets_.find(id);
    return it == widgets_.end() ? nullptr : it->second;
}

template <class F> void DialogView::act(F&& f) {
    if (syncing_) return;
    acting_ = true;
    f();
    acting_ = false;
    sync();
}

void DialogView::sync() {
    if (syncing_) return;
    syncing_ = true;
    setWindowTitle(label(model_.caption));
    move(model_.rect.left, model_.rect.top);
    // A dialog may cut itself shorter than its template.
    if (int h = model_.rect.bottom - model_.rect.top;
        h > 0 && h < model_.dialogTemplate().height && height() != h)
        setFixedSize(model_.dialogTemplate().width, h);
    for (const Control& c : model_.controls()) {
        QWidget* w = widget(c.layout.id);
        if (!w || c.layout.id <= 0) continue;
        w->setEnabled(c.enabled);
        w->setVisible(c.visible);
        if (auto* b = qobject_cast<QCheckBox*>(w)) {
            b->setChecked(c.checked);
            b->setText(label(c.text));
        } else if (auto* p = qobject_cast<QPushButton*>(w)) {
            p->setText(label(c.text));
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setReadOnly(c.readOnly);
            if (ToAnsi(e->text()) != c.text) e->setText(label(c.text));
        } else if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
            t->setReadOnly(c.readOnly);
            if (windowText(t->toPlainText()) != c.text) {
                t->setPlainText(shownText(c.text));
                if (c.window) cursorFromWindow(t, c.window, c.text);
            }
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(label(c.text));
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            QStringList items;
            for (const auto& i : c.items)
                items << label(i);
            bool same = list->count() == items.size();
            for (int i = 0; same && i < items.size(); ++i)
                same = list->item(i)->text() == items[i];
            if (!same) {
                list->clear();
                list->addItems(items);
            }
            list->setCurrentRow(c.selection);
        } else if (auto* s = qobject_cast<QScrollBar*>(w)) {
            s->setRange(c.scrollMin, c.scrollMax);
            s->setPageStep(std::max(1, (c.scrollMax - c.scrollMin) / 10));
            s->setValue(c.scrollPos);
        }
    }
    if (QWidget* f = widget(model_.focus()); f && f->isVisible() && !f->hasFocus()) f->setFocus();
    syncing_ = false;
    if (model_.ended()) done(static_cast<int>(model_.result()));
}

void DialogView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        act([&] { model_.enter(); });
    else if (event->key() == Qt::Key_Escape)
        act([&] { model_.escape(); });
    else
        QDialog::keyPressEvent(event);
}

void DialogView::closeEvent(QCloseEvent* event) {
    if (!model_.ended()) act([&] { model_.close(); });
    if (model_.ended())
        event->accept();
    else
        event->ignore();
}

bool DialogView::eventFilter(QObject* watched, QEvent* event) {
    for (const auto& [id, w] : widgets_) {
        if (w != watched) continue;
        if (event->type() == QEvent::FocusIn && model_.focus() != id && !syncing_) {
            act([&, id = id] { model_.setFocus(id); });
            return false;
        }
        if (event->type() == QEvent::KeyPress && qobject_cast<QListWidget*>(w)) {
            int vk = virtualKey(static_cast<QKeyEvent*>(event)->key());
            if (vk) {
                act([&, id = id] { model_.key(id, vk); });
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

namespace {
// Widgets live on the application's thread only. A request another thread of the host sends to the library
// gets the answers of a host without a screen; waiting for the application's thread instead could wait
// for ever on a thread that itself waits for the library.
bool offGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() != app->thread();
}
} // namespace

int QtUi::messageBox(HWND, const std::string& text, const std::string& caption, UINT style) {
    if (offGuiThread()) return FirstButton(style);
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(FromAnsi(caption));
    box.setText(FromAnsi(text));
    switch (style & 0xF0) {
    case MB_ICONHAND:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONASTERISK:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Button {
        const char* text;
        int result;
        QMessageBox::ButtonRole role;
    };
    std::vector<Button> buttons;
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons = {{"OK", IDOK, QMessageBox::AcceptRole}, {"Abbrechen", IDCANCEL, QMessageBox::RejectRole}};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{"Abbrechen", IDABORT, QMessageBox::RejectRole},
                   {"Wiederholen", IDRETRY, QMessageBox::AcceptRole},
                   {"Ignorieren", IDIGNORE, QMessageBox::AcceptRole}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{"Ja", IDYES, QMessageBox::YesRole},
                   {"Nein", IDNO, QMessageBox::NoRole},
                   {"Abbrechen", IDCANCEL, QMessageBox::RejectRole}};
        break;
    case MB_YESNO:
        buttons = {{"Ja", IDYES, QMessageBox::YesRole}, {"Nein", IDNO, QMessageBox::NoRole}};
        break;
    case MB_RETRYCANCEL:
        buttons = {{"Wiederholen", IDRETRY, QMessageBox::AcceptRole},
                   {"Abbrechen", IDCANCEL, QMessageBox::RejectRole}};
        break;
    default:
        buttons = {{"OK", IDOK, QMessageBox::AcceptRole}};
    }
    std::map<QAbstractButton*, int> results;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* b = box.addButton(QString::fromUtf8(buttons[i].text), buttons[i].role);
        results[b] = buttons[i].result;
        if (i == ((style & MB_DEFBUTTON2) ? 1u : 0u)) box.setDefaultButton(b);
    }
    box.exec();
    auto r = results.find(box.clickedButton());
    return r == results.end() ? buttons.back().result : r->second;
}

bool QtUi::winHelp(HWND, const std::string& file, UINT command, std::uintptr_t topic) {
    if (offGuiThread()) return false;
    if (command == HELP_QUIT) {
        if (help_) help_->close();
        return true;
    }
    QFileInfo index(QFile::decodeName(file.c_str()));
    if (index.suffix().compare("html", Qt::CaseInsensitive) != 0 || !index.isFile()) {
        messageBox(0, ToAnsi(QString::fromUtf8("Die Hilfe zu Wortex ist nicht installiert.\n%1")
                                 .arg(QFile::decodeName(file.c_str()))),
                   "Wortex Hilfe", MB_ICONEXCLAMATION);
        return false;
    }
    QFileInfo page(index.dir().filePath(QString("thema-%1.html").arg(topic)));
    QUrl url = QUrl::fromLocalFile((command == HELP_CONTEXT && page.isFile() ? page : index).absoluteFilePath());
    if (!help_) {
        auto* d = new QDialog(QApplication::activeWindow(), Qt::Window);
        d->setAttribute(Qt::WA_DeleteOnClose);
        d->setObjectName("WortexHilfe");
        d->setWindowTitle("Wortex Hilfe");
        auto* layout = new QVBoxLayout(d);
        auto* browser = new QTextBrowser(d);
        browser->setObjectName("hilfeText");
        browser->setOpenLinks(true);
        layout->addWidget(browser);
        // The window's title names the page shown, also after a link was followed.
        QObject::connect(browser, &QTextBrowser::sourceChanged, d, [d, browser] {
            QString title = browser->documentTitle();
            d->setWindowTitle(title.startsWith("Wortex") ? title : "Wortex Hilfe - " + title);
        });
        auto* buttons = new QDialogButtonBox(d);
        QPushButton* close = buttons->addButton(QString::fromUtf8("Schließen"), QDialogButtonBox::RejectRole);
        close->setObjectName("schliessen");
        QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::close);
        layout->addWidget(buttons);
        d->resize(620, 520);
        help_ = d;
    }
    auto* browser = help_->findChild<QTextBrowser*>("hilfeText");
    browser->setSource(url);
    help_->show();
    help_->raise();
    help_->activateWindow();
    return true;
}

QWidget* QtUi::helpWindow() const {
    return help_;
}

void QtUi::messageBeep(UINT) {
    if (offGuiThread()) return;
    QApplication::beep();
}

short QtUi::keyState(int virtualKey) {
    if (offGuiThread()) return 0;
    Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
    bool down = (virtualKey == VK_SHIFT && (m & Qt::ShiftModifier)) ||
                (virtualKey == VK_CONTROL && (m & Qt::ControlModifier)) ||
                (virtualKey == VK_MENU && (m & Qt::AltModifier));
    return down ? static_cast<short>(0x8000) : 0;
}

LRESULT QtUi::runDialog(DialogModel& dialog) {
    if (offGuiThread()) return UiServices::runDialog(dialog);
    // A dialog opened in the middle of another's action: the dialogs below show what has changed so far
    // (a check's corrections in a field, the word it reports).
    for (DialogView* below : openViews())
        below->sync();
    DialogView view(dialog, QApplication::activeWindow());
    // The first paint once the dialog shows (WM_PAINT), for lists that are filled only then.
    QTimer::singleShot(0, &view, [&] {
        if (!dialog.ended()) dialog.send(0x000F, 0, 0);
        if (!dialog.ended()) view.sync();
    });
    view.exec();
    if (!dialog.ended()) dialog.end(IDCANCEL);
    return dialog.result();
}

bool QtUi::fileDialog(FileDialogRequest& request) {
    if (offGuiThread()) return false;
    // The library writes folders the Windows way, with a closing backslash; Qt would take "folder\" for
    // a file name in the folder above.
    QString folder = FromAnsi(request.initialDirectory).replace('\\', '/');
    QFileDialog dialog(QApplication::activeWindow(), FromAnsi(request.title), folder,
                       qtFilter(request.filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(FromAnsi(request.defaultExtension));
    // An initial name, not a pattern (the filter shows those).
    const QString initial = FromAnsi(request.fileName).replace('\\', '/');
    if (!initial.isEmpty() && !initial.contains('*') && !initial.contains('?')) dialog.selectFile(initial);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    request.fileName = ToAnsi(dialog.selectedFiles().front());
    return true;
}

void QtUi::cursorSet(UINT cursor) {
    if (offGuiThread()) return;
    bool wait = cursor == IDC_WAIT;
    if (wait && !waitCursor_)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!wait && waitCursor_)
        QApplication::restoreOverrideCursor();
    waitCursor_ = wait;
}

RECT QtUi::desktop() {
    if (offGuiThread()) return UiServices::desktop();
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return UiServices::desktop();
    QRect r = s->availableGeometry();
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

int QtUi::textWidth(const std::string& text) {
    if (offGuiThread()) return UiServices::textWidth(text);
    return QFontMetrics(QApplication::font()).horizontalAdvance(FromAnsi(text));
}

int QtUi::listPageSize(DialogModel& dialog, int id) {
    if (offGuiThread()) return UiServices::listPageSize(dialog, id);
    const Control* c = dialog.control(id);
    int item = QFontMetrics(QApplication::font()).height() + 2;
    return c ? std::max(1, (c->layout.height - 4) / std::max(1, item)) : UiServices::listPageSize(dialog, id);
}

} // namespace win32::qt
