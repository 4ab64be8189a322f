#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QWidget>

// Names of the visible buttons and one-line labels of a shown window that got less room than
// their text needs (a cut caption), or that reach past the window's edge.
inline QStringList CutControls(QWidget* window)
{
    QApplication::processEvents();
    QStringList cut;
    const QRect area = window->rect();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible())
            continue;
        const auto* label = qobject_cast<QLabel*>(w);
        const bool text =
            qobject_cast<QAbstractButton*>(w) || (label && !label->wordWrap() && label->pixmap().isNull());
        if (!text)
            continue;
        const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
        if (w->width() < w->sizeHint().width() || !area.contains(inWindow))
            cut.append(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                 : w->objectName());
    }
    return cut;
}
