#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// The message dialog of every notice and confirmation. OK ends it with 1; Cancel, Escape and the
// close box with 2. The caller shows cbDoNotShowMore when it offers the choice and reads it
// after ShowText.
class TF_Message : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ButtonsOk = 0;
    static constexpr int ButtonsOkCancel = 1;
    static constexpr int ResultOk = 1;
    static constexpr int ResultCancel = 2;

    // Applies the language, selects the button set and places the dialog beside its owner.
    TF_Message(QWidget* owner, int buttons, const QString& language);
    ~TF_Message() override;

    void ApplyLanguage(const QString& code);
    // 0: BtnOk_1 only; 1: BtnOk_2 and BtnCancel_2; any other value changes nothing.
    void SetButtons(int buttons);
    void SetCaption(const QString& text);
    void SetText(const QString& text);
    // Sets title and text, shows the dialog modally and returns 1 (OK) or 2 (Cancel or closed).
    int ShowText(const QString& caption, const QString& text);

    // A notice the user may silence: the dialog with its do-not-show-again box shown. Answers the
    // result and whether the box was ticked.
    struct TOfferedAnswer
    {
        int Result;
        bool DoNotShowMore;
    };
    static TOfferedAnswer ShowOffering(QWidget* owner, int buttons, const QString& language,
                                       const QString& caption, const QString& text);

    // Test hook: the next ShowText of any TF_Message returns answer at once without showing,
    // with the do-not-show-again box ticked as given. Answers queue up in order.
    static void SetNextAnswer(int answer, bool doNotShowMore = false);
    static void ClearNextAnswers();
    // Title and text of the last ShowText, answered or shown.
    static QString LastCaption();
    static QString LastText();

    void reject() override;

    // The controls, named as in the window's layout.
    QLabel* lblMessageText;
    QCheckBox* cbDoNotShowMore;
    QPushButton* BtnOk_1;
    QPushButton* BtnOk_2;
    QPushButton* BtnCancel_2;

private:
    void FitHeight();
    QWidget* m_owner;
};
