#pragma once

#include "MainWindowFixture.h"
#include "phonebook/SqliteShell.h"
#include "ui/main/ContactPanel.h"
#include "ui/main/ContactsFilterModel.h"
#include "ui/main/ContactsPane.h"
#include "ui/main/ContactsView.h"
#include "ui/main/PhoneBookEdits.h"
#include "ui/main/RecipientsPanel.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

// A main window (shown, offscreen) over a phone book the sqlite3 shell wrote, loaded by the
// first activation.
struct TContactsFixture : TMainWindowFixture
{
    TContactsPane* Pane() const { return main->ContactsPane(); }
    TContactPanel* Panel() const { return main->ContactPanel(); }
    TRecipientsPanel* Recipients() const { return main->RecipientsPanel(); }
    TContactsView* View() const { return Pane()->View(); }

    bool Start(const QByteArray& rows, const QString& language = QStringLiteral("ITA"),
               const TMainWindowServices& services = {})
    {
        RunSqliteShell(PhoneBookFile(), PhoneBookSchemaSql() + rows);
        Create(QStringLiteral("mario"), QStringLiteral("secret"), {}, services);
        settings->SetLanguage(language);
        settings->SetLastIntPrefix(QStringLiteral("Italy"));
        main->resize(330, 700);
        main->show();
        return Activate();
    }
    // The first activation, until the phone book is loaded.
    bool Activate()
    {
        QSignalSpy loaded(Pane(), &TContactsPane::phoneBookLoaded);
        main->FormActivate();
        return loaded.wait(20000);
    }
    QByteArray Sql(const QByteArray& query) { return RunSqliteShell(PhoneBookFile(), query).trimmed(); }

    // The rows the tree shows, in order; members indented, an open list marked with "v ".
    QStringList Rows(const QModelIndex& parent = {}, const QString& indent = {}) const
    {
        QStringList rows;
        const QAbstractItemModel* model = View()->model();
        for (int r = 0; r < model->rowCount(parent); ++r) {
            const QModelIndex index = model->index(r, 0, parent);
            rows << indent + (View()->isExpanded(index) ? QStringLiteral("v ") : QString()) +
                        index.data().toString();
            if (View()->isExpanded(index))
                rows << Rows(index, indent + QStringLiteral("  "));
        }
        return rows;
    }
    QModelIndex Find(const QString& caption) const
    {
        const QModelIndexList found = View()->model()->match(
            View()->model()->index(0, 0), Qt::DisplayRole, caption, 1, Qt::MatchExactly | Qt::MatchRecursive);
        return found.value(0);
    }
    TContactNode* Node(const QString& caption) const { return View()->FilterModel()->NodeOf(Find(caption)); }
    QPoint At(const QString& caption) const { return View()->visualRect(Find(caption)).center(); }
    QPoint ButtonOf(const QString& caption) const
    {
        const QRect r = View()->visualRect(Find(caption));
        return {r.left() - View()->indentation() / 2, r.center().y()};
    }
    QStringList RecipientCaptions() const
    {
        QStringList captions;
        for (int r = 0; r < Recipients()->lvDestinatari->count(); ++r)
            captions << Recipients()->lvDestinatari->item(r)->text();
        return captions;
    }
};
