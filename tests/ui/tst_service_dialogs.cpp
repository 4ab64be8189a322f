#include "net/NetTestSupport.h"
#include "net/Suggestion.h"
#include "ui/dialogs/NumberDetailsWindow.h"
#include "ui/dialogs/SuggestionDialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// The number-details window and the suggestion dialog.
class TestServiceDialogs : public QObject
{
    Q_OBJECT

    static TSuggestionContext SuggestionTo(quint16 port)
    {
        TSuggestionContext c;
        c.Route = {QStringLiteral("127.0.0.1"), port, std::nullopt};
        return c;
    }

private slots:
    void detailsCorner_data()
    {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QRect>("monitor");
        QTest::addColumn<QPoint>("corner");
        const QRect screen(0, 0, 1280, 1024);
        QTest::newRow("left") << QRect(600, 50, 400, 500) << screen << QPoint(348, 50);
        QTest::newRow("left, just fits") << QRect(252, 70, 400, 500) << screen << QPoint(0, 70);
        QTest::newRow("right") << QRect(251, 70, 400, 500) << screen << QPoint(653, 70);
        QTest::newRow("neither") << QRect(100, 70, 1000, 500) << screen << QPoint(100, 100);
        QTest::newRow("second monitor")
            << QRect(1300, 70, 1100, 500) << QRect(1280, 0, 1280, 1024) << QPoint(1380, 100);
    }
    void detailsCorner()
    {
        QFETCH(QRect, main);
        QFETCH(QRect, monitor);
        QFETCH(QPoint, corner);
        QCOMPARE(DetailsWindowCorner(main, 250, monitor), corner);
    }

    void detailsWindows()
    {
        QWidget main;
        main.setGeometry(400, 100, 300, 400);
        main.show();
        TLookupResponse refused;
        refused.Details.Number = QStringLiteral("+39333");
        refused.Result = QStringLiteral("-ERR");
        refused.BaloonText = QStringLiteral("No credit");
        TLookupResponse found;
        found.Result = QStringLiteral("+OK");
        found.BaloonText = QStringLiteral("not shown");
        found.Details.Status = QStringLiteral("1");
        QPointer<TF_DettagliNumero> first = TF_DettagliNumero::Open(&main, QStringLiteral("ENG"), refused);
        QPointer<TF_DettagliNumero> second = TF_DettagliNumero::Open(&main, QStringLiteral("ENG"), found);
        QVERIFY(first->isVisible() && second->isVisible() && !first->isModal());
        QCOMPARE(first->lblNumero->text(), QStringLiteral("+39333"));
        QCOMPARE(first->lblOperatore->text(), QStringLiteral("N/A"));
        QVERIFY(first->lblBaloon->isVisible());
        QCOMPARE(first->lblBaloon->text(), QStringLiteral("No credit"));
        QVERIFY(!second->lblBaloon->isVisible());
        QCOMPARE(first->lblStato->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(second->lblStato->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QVERIFY(first->lblStato->text() != second->lblStato->text());

        first->BtnOk->click();
        QTRY_VERIFY(first.isNull()); // a closed window is destroyed, the other stays
        QVERIFY(second->isVisible());
        delete second;
    }

    void suggestion_data()
    {
        QTest::addColumn<QByteArray>("reply"); // empty: never answers
        QTest::addColumn<bool>("sent");
        QTest::newRow("accepted") << QByteArray("HTTP/1.1 200 OK\r\n\r\n+OK") << true;
        QTest::newRow("refused") << QByteArray("HTTP/1.1 500 Error\r\nContent-Length: 0\r\n\r\n") << false;
        QTest::newRow("unanswered") << QByteArray() << false;
    }
    void suggestion()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, sent);
        ScriptedPeer peer([&](QTcpSocket* s, QByteArray& in) {
            if (in.contains("\r\n\r\n"))
                s->write(reply);
        });
        TSuggestionSender sender([&] { return SuggestionTo(peer.Port()); });
        sender.SetTimeOut(300);
        TF_Suggerimento dialog(nullptr, QStringLiteral("ENG"), sender);
        QVERIFY(dialog.BtnInvia->isEnabled()); // enabled until the text first changes
        dialog.MemoSuggestion->setPlainText(QStringLiteral("x"));
        dialog.MemoSuggestion->clear();
        QVERIFY(!dialog.BtnInvia->isEnabled());
        dialog.MemoSuggestion->setPlainText(QStringLiteral("più luce"));
        QVERIFY(dialog.BtnInvia->isEnabled());

        dialog.BtnInvia->click();
        QVERIFY(!dialog.BtnInvia->isEnabled());
        QVERIFY(!dialog.NotYetSent());
        TGlobalTexts texts;
        texts.ApplyLanguage(QStringLiteral("ENG"));
        QTRY_COMPARE_WITH_TIMEOUT(dialog.MemoSuggestion->toPlainText(),
                                  sent ? texts.TextSent : texts.TextNotSent, 5000);
        QVERIFY(peer.received.contains("Content-type: text/xml"));
        QVERIFY(dialog.BtnAnnulla->isHidden());
        QVERIFY(dialog.BtnInvia->isEnabled());
        QCOMPARE(dialog.BtnInvia->text(), QStringLiteral("Ok"));
        dialog.BtnInvia->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // A reply that comes after the dialog closed still reaches the sender's listeners.
    void suggestionOutlivesDialog()
    {
        ScriptedPeer peer([](QTcpSocket* s, QByteArray& in) {
            if (in.contains("\r\n\r\n"))
                QTimer::singleShot(200, s, [s] { s->write("+OK"); });
        });
        TSuggestionSender sender([&] { return SuggestionTo(peer.Port()); });
        QSignalSpy sent(&sender, &TSuggestionSender::suggestionSent);
        {
            TF_Suggerimento dialog(nullptr, QStringLiteral("ITA"), sender);
            dialog.MemoSuggestion->setPlainText(QStringLiteral("idea"));
            dialog.BtnInvia->click();
            dialog.BtnAnnulla->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QTRY_COMPARE_WITH_TIMEOUT(sent.size(), 1, 5000);
    }
};

QTEST_MAIN(TestServiceDialogs)
#include "tst_service_dialogs.moc"
