#include "lists/ListImport.h"
#include "lists/ListTexts.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/CountrySelector.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/dialogs/MissingPrefixDialog.h"
#include "ui/dialogs/UserInput.h"
#include "ui/lists/ContactImportDialog.h"
#include "ui/lists/ListsWindow.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

class TestListsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void noLists();
    void newListByImport();
    void newListAbandoned_data();
    void newListAbandoned();
    void takenNameSelectsTheList();
    void deleteSecondOfFour_data();
    void deleteSecondOfFour();
    void renameAndExport();
    void memberEditing();
    void shownListIsNotReadAgain();
    void largeImportKeepsWindowPainting();
    void contactImport();

private:
    void MakeList(const QString& name, const QStringList& numbers);
    std::unique_ptr<TF_Liste> Open();
    QString WriteFile(const QString& name, const QByteArray& bytes);
    QStringList StoredLists();
    static QStringList Texts(const QListWidget* box);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TSettingsHolder> m_settings;
    std::unique_ptr<TPhoneBook> m_book;
    TContactsTree m_tree;
};

void TestListsWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<TSettingsHolder>(m_dir->filePath(QStringLiteral("registry.reg")));
    m_settings->SetLanguage(QStringLiteral("ENG"));
    m_book = std::make_unique<TPhoneBook>(m_dir->filePath(QStringLiteral("pbook.qpb")), QString());
    m_tree.Clear(); // a first load writes the tree's content into the new file
    QVERIFY(m_book->LoadPhoneBook(m_tree));
    DialogTestHook::AnswerAtOnce(true, QDialog::Accepted);
}

void TestListsWindow::cleanup()
{
    QCOMPARE(UserInputTestHook::Pending(), 0);
    QCOMPARE(TF_PrefissoMancante::PendingAnswers(), 0);
    DialogTestHook::AnswerAtOnce(false);
    DialogTestHook::ClearExecutedDialogs();
    UserInputTestHook::Clear();
    TF_Message::ClearNextAnswers();
}

void TestListsWindow::MakeList(const QString& name, const QStringList& numbers)
{
    QList<TContactData> members;
    for (const QString& number : numbers) {
        TContactData m;
        m.NickName = QStringLiteral("n") + number;
        m.Number = number;
        members.append(m);
    }
    QString error;
    QVERIFY2(SaveImportedList(*m_book, name, members, true, {}, &error), qPrintable(error));
    QVERIFY(m_book->LoadPhoneBook(m_tree));
}

std::unique_ptr<TF_Liste> TestListsWindow::Open()
{
    auto window = std::make_unique<TF_Liste>(*m_book, *m_settings);
    window->FillLists(m_tree);
    window->show();
    return window;
}

QString TestListsWindow::WriteFile(const QString& name, const QByteArray& bytes)
{
    QFile f(m_dir->filePath(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return f.fileName();
}

QStringList TestListsWindow::StoredLists()
{
    return m_book->ListNames();
}

QStringList TestListsWindow::Texts(const QListWidget* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->item(i)->text());
    return texts;
}

void TestListsWindow::noLists()
{
    auto window = Open();
    QVERIFY(window->pnNoList->isVisible());
    QVERIFY(!window->pnContatti->isVisible());
    QVERIFY(!window->aListDelete->isEnabled());
}

void TestListsWindow::newListByImport()
{
    MakeList(QStringLiteral("Zeta"), {QStringLiteral("+391")});
    auto window = Open();
    QSignalSpy changed(window.get(), &TF_Liste::listsChanged);
    UserInputTestHook::SetNextFileName(
        WriteFile(QStringLiteral("a.csv"), "a;333 1\nb;+44 2\nc;+44 2\nd;x\n"));
    TF_PrefissoMancante::SetNextAnswer(QDialog::Accepted, QStringLiteral("Italy"));
    TF_Message::SetNextAnswer(TF_Message::ResultOk);
    window->sbNewList->click();
    QVERIFY(window->Edit_NuovaLista->isVisible());
    QVERIFY(!window->lbListe->isEnabled());
    window->Edit_NuovaLista->setText(QStringLiteral("Amici"));
    window->BtnOkNuovaLista->click();
    QCOMPARE(DialogTestHook::ExecutedDialogs(), QStringList{QStringLiteral("TF_ConfermaLista")});
    QCOMPARE(TF_Message::LastText(), ImportSummaryText(QStringLiteral("ENG"), {2, 1, 1}));
    QCOMPARE(Texts(window->lbListe), (QStringList{QStringLiteral("Zeta [1]"), QStringLiteral("Amici [2]")}));
    QCOMPARE(window->JvContacts->model()->rowCount(), 2);
    QCOMPARE(window->Members[0].Number, QStringLiteral("+442"));
    QCOMPARE(changed.size(), 1);
    QVERIFY(window->Changed);
    m_book->LoadPhoneBook(m_tree);
    QCOMPARE(window->Lists[1].ID, MaxTopLevelID(m_tree));
    QCOMPARE(m_settings->GetLastIntPrefix(), QStringLiteral("Italy"));
}

void TestListsWindow::newListAbandoned_data()
{
    QTest::addColumn<int>("explanation");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("prefix");
    QTest::addColumn<bool>("message");
    QTest::newRow("explanation cancelled") << int(QDialog::Rejected) << QString() << -1 << false;
    QTest::newRow("no file chosen") << int(QDialog::Accepted) << QString() << -1 << false;
    QTest::newRow("prefix cancelled") << int(QDialog::Accepted) << QStringLiteral("p.csv") << 0 << false;
    QTest::newRow("unreadable file") << int(QDialog::Accepted) << QStringLiteral("b.csv") << -1 << true;
    QTest::newRow("unreadable xls") << int(QDialog::Accepted) << QStringLiteral("b.xls") << -1 << true;
}

void TestListsWindow::newListAbandoned()
{
    QFETCH(int, explanation);
    QFETCH(QString, file);
    QFETCH(int, prefix);
    QFETCH(bool, message);
    MakeList(QStringLiteral("Zeta"), {QStringLiteral("+391"), QStringLiteral("+392")});
    auto window = Open();
    DialogTestHook::AnswerAtOnce(true, explanation);
    if (explanation == QDialog::Accepted)
        UserInputTestHook::SetNextFileName(
            file.isEmpty()
                ? file
                : WriteFile(file, file == u"p.csv" ? QByteArray("a;0612\n") : QByteArray("\0\1", 2)));
    if (prefix >= 0)
        TF_PrefissoMancante::SetNextAnswer(prefix);
    if (message)
        TF_Message::SetNextAnswer(TF_Message::ResultOk);
    window->sbNewList->click();
    window->Edit_NuovaLista->setText(QStringLiteral("Amici"));
    window->aListCreate->trigger();
    QCOMPARE(!file.isEmpty() && TF_Message::LastText().startsWith(file + u'\r'), message);
    QCOMPARE(Texts(window->lbListe), QStringList{QStringLiteral("Zeta [2]")});
    QCOMPARE(window->Members.size(), 2);
    QCOMPARE(StoredLists(), QStringList{QStringLiteral("Zeta")});
    QVERIFY(!window->Changed);
}

void TestListsWindow::takenNameSelectsTheList()
{
    MakeList(QStringLiteral("Amici"), {QStringLiteral("+391")});
    MakeList(QStringLiteral("Zeta"), {QStringLiteral("+392")});
    auto window = Open();
    TF_Message::SetNextAnswer(TF_Message::ResultOk);
    window->sbNewList->click();
    window->Edit_NuovaLista->setText(QStringLiteral("zeta"));
    window->aListCreate->trigger();
    QCOMPARE(TF_Message::LastText(), ListText(TListText::ListNameTaken, QStringLiteral("ENG")));
    QCOMPARE(window->lbListe->currentRow(), 1);
    QCOMPARE(window->Members[0].Number, QStringLiteral("+392"));
    QCOMPARE(window->lbListe->count(), 2);
}

void TestListsWindow::deleteSecondOfFour_data()
{
    QTest::addColumn<bool>("byMembers");
    QTest::newRow("delete list") << false;
    QTest::newRow("delete all members") << true;
}

void TestListsWindow::deleteSecondOfFour()
{
    QFETCH(bool, byMembers);
    for (const char* name : {"A", "B", "C", "D"})
        MakeList(QString::fromLatin1(name), {QStringLiteral("+391"), QStringLiteral("+392")});
    auto window = Open();
    window->lbListe->setCurrentRow(1);
    if (byMembers) {
        for (int row = 0; row < 2; ++row)
            window->JvContacts->model()->setData(window->JvContacts->model()->index(row, 0), Qt::Checked,
                                                 Qt::CheckStateRole);
        QVERIFY(window->aEliminaSelezionati->isEnabled());
        QVERIFY(!window->aModificaContatto->isEnabled());
        window->aEliminaSelezionati->trigger();
    } else {
        TF_Message::SetNextAnswer(TF_Message::ResultOk);
        window->aListDelete->trigger();
    }
    const QStringList kept{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("D")};
    QStringList names;
    for (const TContactData& list : window->Lists)
        names.append(list.NickName);
    QCOMPARE(names, kept);
    QCOMPARE(Texts(window->lbListe),
             (QStringList{QStringLiteral("A [2]"), QStringLiteral("C [2]"), QStringLiteral("D [2]")}));
    QCOMPARE(StoredLists(), kept);
    QVERIFY(window->Changed);
}

void TestListsWindow::renameAndExport()
{
    MakeList(QStringLiteral("Amici"), {QStringLiteral("+391"), QStringLiteral("+392")});
    MakeList(QStringLiteral("Zeta"), {QStringLiteral("+393")});
    auto window = Open();
    UserInputTestHook::SetNextText(QStringLiteral("ZETA"));
    TF_Message::SetNextAnswer(TF_Message::ResultOk);
    window->aListModify->trigger(); // another list's name: refused
    QCOMPARE(TF_Message::LastText(), ListText(TListText::ListNameTaken, QStringLiteral("ENG")));
    UserInputTestHook::SetNextText(QStringLiteral(" Nuovi "));
    window->aListModify->trigger();
    QCOMPARE(window->lbListe->item(0)->text(), QStringLiteral("Nuovi [2]"));
    QCOMPARE(StoredLists(), (QStringList{QStringLiteral("Nuovi"), QStringLiteral("Zeta")}));
    UserInputTestHook::SetNextFileName(m_dir->filePath(QStringLiteral("out")));
    window->aListExport->trigger();
    QFile out(m_dir->filePath(QStringLiteral("out.csv")));
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), QByteArray("n+391;+391\r\nn+392;+392\r\n"));
}

void TestListsWindow::memberEditing()
{
    MakeList(QStringLiteral("Amici"), {QStringLiteral("+15551234"), QStringLiteral("+393331")});
    auto window = Open();
    window->aAggiungiContatto->trigger();
    QVERIFY(window->pnContactDetails->isVisible());
    QVERIFY(!window->pnLists->isEnabled());
    window->ComboNazione->SelectRow(103); // Italy
    window->Edit_Numero->setText(QStringLiteral("333 1"));
    window->BtnContactOK->click();
    QVERIFY(!window->lblNumberError->text().isEmpty());
    QVERIFY(window->EditingContact);
    window->Edit_Numero->setText(QStringLiteral("333 2"));
    window->Edit_Visualizzato->setText(QStringLiteral("Nuovo"));
    window->BtnContactOK->click();
    QVERIFY(!window->EditingContact);
    QCOMPARE(window->lbListe->item(0)->text(), QStringLiteral("Amici [3]"));
    QCOMPARE(window->Members.last().Number, QStringLiteral("+393332"));

    window->JvContacts->model()->setData(window->JvContacts->model()->index(0, 0), Qt::Checked,
                                         Qt::CheckStateRole);
    window->aModificaContatto->trigger();
    QCOMPARE(window->ComboNazione->SelectedName(), QStringLiteral("Canada"));
    QCOMPARE(window->lblIntPrefix->text(), QStringLiteral("+1"));
    QCOMPARE(window->Edit_Numero->text(), QStringLiteral("5551234"));
    window->BtnContactAnnulla->click();
    QVERIFY(window->pnLists->isEnabled());
}

void TestListsWindow::shownListIsNotReadAgain()
{
    MakeList(QStringLiteral("Amici"), {QStringLiteral("+391")});
    MakeList(QStringLiteral("Zeta"), {QStringLiteral("+392")});
    TF_Liste window(*m_book, *m_settings);
    int reads = 0;
    window.SetMemberReader([&](const QString& name, QList<TContactData>& members) {
        ++reads;
        return m_book->LoadListIntoMemory(members, name, false);
    });
    window.FillLists(m_tree);
    window.lbListeClick();
    window.lbListeClick();
    QCOMPARE(reads, 1);
    window.lbListe->setCurrentRow(1);
    QCOMPARE(reads, 2);
}

void TestListsWindow::largeImportKeepsWindowPainting()
{
    QByteArray lines;
    for (int i = 0; i < 300000; ++i)
        lines += "Nome " + QByteArray::number(i) + ";+39" +
                 QByteArray::number(3000000000LL + i * 7 % 250000) + '\n';
    MakeList(QStringLiteral("Grande"), {QStringLiteral("+391")});
    auto window = Open();
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
    timer.start(5);
    UserInputTestHook::SetNextFileName(WriteFile(QStringLiteral("big.csv"), lines));
    TF_Message::SetNextAnswer(TF_Message::ResultOk);
    window->aContactsImport->trigger();
    QCOMPARE(TF_Message::LastText(), ImportSummaryText(QStringLiteral("ENG"), {250000, 50000, 0}));
    QVERIFY2(ticks > 5, qPrintable(QString::number(ticks)));
    QCOMPARE(window->lbListe->item(0)->text(), QStringLiteral("Grande [250000]"));
}

void TestListsWindow::contactImport()
{
    const QString vcf =
        WriteFile(QStringLiteral("c.vcf"), "BEGIN:VCARD\nFN:Bea\nTEL;TYPE=WORK:0612\nTEL;TYPE=CELL:333 1\n"
                                           "END:VCARD\nBEGIN:VCARD\nFN:Al\nTEL:+44 1\nEND:VCARD\n");
    TF_ImportFromMSOutlook preview(ReadContactSource(vcf).Lines, QStringLiteral("ENG"));
    QTreeWidget* view = preview.lvOutlookContacts;
    view->topLevelItem(0)->setCheckState(0, Qt::Checked);
    preview.BtnCellulariClick();
    QCOMPARE(preview.TickedLines(),
             (QList<TContactLine>{{QStringLiteral("Bea"), QStringLiteral("333 1"), true}}));
    QCOMPARE(view->topLevelItem(2)->text(2), QStringLiteral("Mobile"));

    DialogTestHook::AnswerAtOnce(false);
    UserInputTestHook::SetNextFileName(vcf);
    TF_PrefissoMancante::SetNextAnswer(QDialog::Accepted, QStringLiteral("Italy"));
    // The dialog is answered once it is shown (the file is read first).
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&answer] {
        auto* dialog = qobject_cast<TF_ImportFromMSOutlook*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        answer.stop();
        for (int i = 0; i < dialog->lvOutlookContacts->topLevelItemCount(); ++i)
            dialog->lvOutlookContacts->topLevelItem(i)->setCheckState(0, Qt::Checked);
        dialog->BtnImporta->click();
    });
    answer.start(10);
    QCOMPARE(TF_ImportFromMSOutlook::Run(nullptr, *m_book, m_tree, *m_settings), 3);
    TContactsTree reread;
    QVERIFY(m_book->LoadPhoneBook(reread));
    QStringList stored;
    for (int r = 0; r < reread.TopLevelCount(); ++r)
        stored.append(reread.TopLevel(r)->Data().NickName + u'|' + reread.TopLevel(r)->Data().Number);
    QCOMPARE(stored, (QStringList{QStringLiteral("Al|+441"), QStringLiteral("Bea|+39612"),
                                  QStringLiteral("Bea|+393331")}));
}

QTEST_MAIN(TestListsWindow)
#include "tst_lists_window.moc"
