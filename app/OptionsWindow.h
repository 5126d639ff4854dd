#pragma once
// FrmOpt, the options window: edits the folders, texture limit, field of view, floor grid,
// colours and warnings of the settings, and shows the free memory.

#include "app/ToolWindows.h"
#include "config/Settings.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace zv::app {

class MainWindow;

// Number of Text1 fields: 0..5 grid, 6 snap grid, 7..10 key steps, 11 textures, 12 field of view.
inline constexpr int kOptionFieldCount = 13;
inline constexpr int kWireframeColourCount = 10;

// The two memory lines of the "System Info" tab, from the text of /proc/meminfo: the caption,
// a blank and the kilobytes of MemAvailable (physical) or SwapFree (pagefile), or "unknown"
// when the text lacks the entry.
QString PhysicalMemoryLine(std::string_view meminfo);
QString PagefileMemoryLine(std::string_view meminfo);

class OptionsWindow : public ToolWindow<QDialog> {
public:
    // Builds the window and fills it from settings, which OK changes later. With a parent it is
    // a tool window of it, keeping its place in settings.OptionsWinPosition.
    OptionsWindow(config::Settings& settings, QWidget* parent = nullptr);

    // Fills every field, check box and colour button from s.
    void Load(const config::Settings& s);
    // What OK stores: resets the non-numeric fields as leaving them does, then writes the
    // folders, texture limit (outside 1..500: 50), field of view (0 or less: 30), grid,
    // snap, warnings check box and colours into s.
    void Apply(config::Settings& s);

    // Called after OK has applied, before the window closes; the owner re-applies the views.
    std::function<void()> Applied;
    // The folder picker, given the start folder; returns "" when cancelled.
    std::function<QString(const QString& start)> ChooseFolder;
    // The colour picker, given the current colour; returns an invalid colour when cancelled.
    std::function<QColor(const QColor& current)> ChooseColor;

    // The colour the button shows, as red + 256 * green + 65536 * blue. index 0..9 are the
    // wireframe buttons cmdWF_Color(index), 10 is cmdOGL_Color(0).
    std::int32_t ButtonColour(int index) const { return colours_.at(static_cast<std::size_t>(index)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* BuildGeneralTab();
    QWidget* BuildGridTab();
    QWidget* BuildDirectoriesTab();
    QWidget* BuildColorsTab();
    QWidget* BuildSystemTab();
    QLineEdit* Field(int index);
    QPushButton* ColourButton(int index, const QString& name);
    void ResetIfNotNumeric(int index);
    void Browse(int folder);
    void PickColour(int index);
    void SetColour(int index, std::int32_t colour);
    void RefreshMemory();
    void Ok();

    config::Settings& settings_;
    std::array<QLineEdit*, kOptionFieldCount> text1_{};
    std::array<QLineEdit*, 4> text2_{};
    std::array<QPushButton*, kWireframeColourCount + 1> colourButtons_{};
    std::array<std::int32_t, kWireframeColourCount + 1> colours_{};
    QCheckBox* snap_ = nullptr;
    QCheckBox* bmpErrors_ = nullptr;
    QLabel* physical_ = nullptr;
    QLabel* pagefile_ = nullptr;
    QTimer* memoryTimer_ = nullptr;
};

// Connects "Settings" (mnuFile(11)) to open the options window modally; after OK the views
// take the new settings.
void ConnectOptionsCommand(MainWindow& w);

} // namespace zv::app
