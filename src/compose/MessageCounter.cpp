#include "compose/MessageCounter.h"


TRecountResult TMessageCounter::Recount(QStringView text, int uniqueRecipients, int duplicateRecipients,
                                        bool warningUnicode)
{
    const bool wasUnicode = m_isUnicode;
    TRecountResult r;
    r.Text = CountMessageText(text);
    r.RecipientsLabel = RecipientsLabel(uniqueRecipients, duplicateRecipients);
    r.TotalSms = qint64(r.Text.Parts) * qMax(0, uniqueRecipients);
    r.CounterText = CounterText(r.Text);
    if (r.Text.TextTooLong)
        r.StatusText = m_texts.TooLong;
    r.SendCaption = SendButtonCaption(r.TotalSms);
    r.ShowUnicodeWarning = r.Text.IsUnicode && !wasUnicode && warningUnicode;

    m_isUnicode = r.Text.IsUnicode;
    m_textTooLong = r.Text.TextTooLong;
    m_totalSms = r.TotalSms;
    return r;
}

QString TMessageCounter::RecipientsLabel(int uniqueRecipients, int duplicateRecipients) const
{
    QString label = u' ' + m_texts.SelectedContacts + QStringLiteral(" (");
    if (duplicateRecipients <= 0) {
        label += QString::number(uniqueRecipients);
    } else {
        label += QString::number(qint64(uniqueRecipients) + duplicateRecipients) + QStringLiteral(" / ") +
                 QString::number(duplicateRecipients) + u' ' +
                 (duplicateRecipients == 1 ? m_texts.DiscardedOne : m_texts.DiscardedMany);
    }
    return label + u')';
}

QString TMessageCounter::SendButtonCaption(qint64 totalSms) const
{
    if (totalSms == 0)
        return m_texts.SendCaption;
    return m_texts.SendCaption + u' ' + QString::number(totalSms) + QStringLiteral(" sms");
}

QString TMessageCounter::CounterText(const TTextCount& count)
{
    QString text = count.IsUnicode ? QStringLiteral("(Unicode) ") : QString();
    return text + QString::number(count.Count) + u'/' + QString::number(count.Limit);
}

