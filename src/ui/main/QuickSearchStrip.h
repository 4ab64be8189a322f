#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;
class QToolButton;

// The quick-search strip of the notice area (TFr_QuickSearch, named "Fr_QuickSearch"): an
// icon, the caption " Cerca:", the search field Edit_QSearch and a close image. Every change of
// the field is a filter request; the close image asks to close the strip.
class TFr_QuickSearch : public QFrame
{
    Q_OBJECT

public:
    static QString StripName() { return QStringLiteral("Fr_QuickSearch"); }

    explicit TFr_QuickSearch(QWidget* parent = nullptr);

    QLineEdit* Edit_QSearch;
    QToolButton* CloseImage;

signals:
    // Edit_QSearchChange: the filter callback with the field's text.
    void filterRequested(const QString& text);
    // The close image: the close callback with the strip.
    void closeRequested(TFr_QuickSearch* strip);

private:
    QLabel* m_icon;
    QLabel* m_caption;
};
