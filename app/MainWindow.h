#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

class QGroupBox;
class QSplitter;

namespace orvelan {

class Dataset;
class RegisterView;
class TherapyRules;

// The main window: the header strip, the group and patient panes showing one register at a
// time, the status bar and the main menu. It owns the four registers' tables and the
// dictionary tables their lookups read, and opens them all when it is created.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    enum Register { Intoxications, Therapy, Reanimation, Deceased };
    RegisterView *registerView(Register r) const { return m_registers[size_t(r)]; }
    RegisterView *shownRegister() const;
    Dataset *table(const QString &objectName) const;
    QGroupBox *groupBox() const { return m_groupBox; }

public slots:
    void N6Click();
    void N7Click();
    void N8Click();
    void N9Click();
    // The activation guard: reopens the Therapy tables when they were closed.
    void FormActivate();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void showRegister(Register r);
    void showModally(const char *windowName);
    void FormClose();

    QGroupBox *m_groupBox = nullptr;
    QSplitter *m_splitter = nullptr;
    std::array<RegisterView *, 4> m_registers{};
    std::unique_ptr<TherapyRules> m_therapyRules;
    bool m_shown = false;
};

}  // namespace orvelan
