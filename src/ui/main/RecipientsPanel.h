#pragma once

#include "compose/Destinations.h"

#include <QFrame>

// The recipients panel (PanelDestinatari) under the contacts tree: the contacts, lists and
// numbers the message goes to. Hidden while there are none.
class TRecipientsPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TRecipientsPanel(QWidget* parent = nullptr);

    // The destination string and the counts, rebuilt after every change of the recipients.
    const TDestinations& Destinations() const { return m_destinations; }
    // True while list members are still being read (the destinations are not final yet).
    bool IsBuilding() const { return m_building; }
    // Removes every recipient (Continue after a send starts an empty composition).
    void Clear();

signals:
    // After every change of the recipients, once the destinations are rebuilt.
    void destinationsChanged(const TDestinations& destinations);

private:
    TDestinations m_destinations;
    bool m_building = false;
};
