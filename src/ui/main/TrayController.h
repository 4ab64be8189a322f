#pragma once

#include <QObject>
#include <QStringList>
#include <QSystemTrayIcon>
#include <optional>

class QAction;
class QMainWindow;
class QMenu;
class QTimer;
class TSettingsHolder;

// The program's life in the notification area: the tray icon and its menu, the hide and
// restore sequences with their 500 ms timer, the start-up visibility and the first-close
// notice. Where the desktop has no tray, closing minimises the window instead of hiding it,
// so the window is never out of reach.
class TTrayController : public QObject
{
    Q_OBJECT

public:
    static constexpr int RestoreInterval = 500;

    // menuActions fill the tray menu in order; the first is its default entry. exitRequested is
    // the window's flag: once set, a notice cut short is not taken as confirmed.
    TTrayController(QMainWindow& window, TSettingsHolder& settings, const bool& exitRequested,
                    const QList<QAction*>& menuActions, QObject* parent = nullptr);
    ~TTrayController() override;

    // Whether closing hides the window in the tray (true) or only minimises it: whether the
    // desktop has a tray, unless set for tests.
    bool UsesTray() const;
    void SetUsesTray(bool useTray);

    // The window has been hidden in the tray (or, without a tray, minimised) by a close or a
    // minimise, and not restored since.
    bool HiddenInTray = false;
    // True until the first activation: minimising does not hide the window then.
    bool Starting = true;
    // The language of the notices.
    QString Language;

    QSystemTrayIcon* Tray = nullptr;
    QMenu* PopTray = nullptr;
    QTimer* TimerDoubleClicked = nullptr;

    // Click on the icon and the restore request of a second start: restores in 500 ms.
    void TrayClick();
    // Left button on the icon: asks for a password that is not stored, then restores.
    void TrayMouseDown();
    void RestoreFromTray();
    // Hides the window in the tray, or minimises it where there is no tray.
    void HideInTray();
    // The tray menu's show/hide: restores a hidden window at once, hides a shown one.
    void ShowOrHide();
    // A close that does not end the program: hides the window (first-close notice included).
    void HideOnClose();
    // The window was minimised or restored by other means than the tray.
    void WindowStateChanged();
    // The start-up step: an ordinary start goes to the tray, the very first shows the window;
    // the argument "show" shows it in any case.
    void StartUpVisibility(const QStringList& arguments);
    // While the contact panel or the list manager is open the icon has no menu.
    void SetMenuEnabled(bool enabled);
    // The program ends: the icon goes.
    void Remove();

signals:
    // After the window came back from the tray (or from being minimised); the window brings
    // itself to the front.
    void restored();
    // After a press on the icon (the connection light is brought up to date then).
    void pressed();

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void ShowFirstTimeNotice(bool atBottomRight);
    bool IsDemoUser() const;

    QMainWindow& m_window;
    TSettingsHolder& m_settings;
    const bool& m_exitRequested;
    std::optional<bool> m_useTrayOverride;
    bool m_loginOpen = false;
};
