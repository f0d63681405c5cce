#pragma once
// Runs an action that opens a modal file dialog, notes where the dialog starts and cancels it, or with a
// file to choose, chooses that one.
#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <functional>

struct FileDialogStart {
    QString directory;    // the folder the dialog shows
    QString selectedFile; // the file it offers, if any
};

inline FileDialogStart ProbeFileDialog(const std::function<void()>& open, const QString& choose = {}) {
    FileDialogStart seen;
    QTimer t;
    t.setInterval(5);
    QObject::connect(&t, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        t.stop();
        seen.directory = d->directory().absolutePath();
        seen.selectedFile = d->selectedFiles().value(0);
        if (choose.isEmpty()) {
            d->reject();
        } else {
            d->selectFile(choose);
            QMetaObject::invokeMethod(d, "accept");
        }
    });
    t.start();
    open();
    return seen;
}
