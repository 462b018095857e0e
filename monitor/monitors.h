#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "controls/form.h"
#include "controls/grid.h"
#include "controls/edit_box.h"
#include "core/settings.h"
#include "monitor/keyword_list.h"
#include "monitor/page_reader.h"
#include "monitor/post_record.h"
#include "monitor/seen_links.h"
#include "monitor/slot_health.h"
#include "monitor/slot_table.h"

namespace lumora {

/// What one finished cycle of a slot did; handed to observers on the worker's thread.
struct CycleReport {
    int slot = 0;
    int cycle = 0;                  // 1 for the slot's first cycle since its start
    std::vector<PostRecord> rows;   // the posts written, row 1 onwards (at most 49)
    int postsKept = 0;              // posts the cycle gathered, also those beyond row 49
    int pagesTried = 0;
    int pagesRead = 0;              // transfers that completed with a 2xx (or unknown) status
    int pagesWithoutBlocks = 0;     // read with content, but no post block found
    std::string lastFailure;        // plain words of the last failed read, empty if none
    std::vector<std::string> failures;  // "ADDRESS: words" for every failed read, in order
    int refusedStatus = 0;          // 403, 429 or 503 that ended the paging, 0 if none
    /// Posts shown for the first time in this run; always empty in the slot's
    /// first cycle that read a page (the baseline).
    std::vector<PostRecord> newPosts;
    SlotHealth health;              // the slot's health after this cycle
    std::chrono::system_clock::time_point finished;
};

/// Waits up to duration or until stop; returns false when stopped. Injectable
/// so that tests see the pauses without waiting through them.
using PauseFunction = std::function<bool(std::chrono::milliseconds duration, std::stop_token stop)>;

/// The interruptible wait the program uses.
bool InterruptiblePause(std::chrono::milliseconds duration, std::stop_token stop);

/// The pause of an interval box's text: whole seconds by the to-number rule,
/// times 1000, truncated; negative gives 0.
std::chrono::milliseconds PauseForInterval(const Text& intervalText);

/// The next list page of a forum board address ("...-N.html" → "...-(N+1).html");
/// empty when the address is not of that shape.
Text NextPageAddress(const Text& address);

/// The nine board monitors over the main window's controls.
///
/// Start and stop run on the window's thread (or the command line's main
/// thread). Each running slot has one worker; a stop takes effect before
/// StopMonitor returns (no later grid write of that slot) and never waits for
/// the worker, which finishes or abandons its transfer on its own.
class Monitors {
public:
    struct Options {
        PageReader reader;
        PauseFunction pause = InterruptiblePause;
        /// Called after every cycle that was not stopped, on the worker's thread.
        std::function<void(const CycleReport&)> onCycle;
        /// A worker ends on its own after this many cycles; 0 runs until stopped.
        int maxCycles = 0;
    };

    /// Creates every slot's controls in the form (address boxes with the default
    /// addresses, interval boxes "10", start radios, grids tagged 91 to 99).
    Monitors(Form& form, const Settings& settings, const KeywordList& keywords, Options options);
    /// Stops every worker and waits for all of them.
    ~Monitors();
    Monitors(const Monitors&) = delete;
    Monitors& operator=(const Monitors&) = delete;

    /// Gives the nine grids their columns; once, when the window is created.
    void SetUpMonitorGrids();
    /// The start radio's click: starts the slot's worker if the radio is ticked
    /// and no worker of the slot is running.
    void StartMonitor(int slot);
    /// The stop button's click: clears the run flag, unticks the radio, and
    /// ends the worker without waiting for it.
    void StopMonitor(int slot);
    void StopAll();
    /// A worker serves the slot and has neither been stopped nor ended on its own.
    bool IsRunning(int slot) const;

    /// As of the slot's last finished cycle. Any thread.
    SlotHealth HealthOf(int slot) const;
    /// New posts the user has not acknowledged yet; never more than the slot
    /// remembers links (SeenLinks' capacity), however long nobody looks. Any thread.
    std::size_t UnacknowledgedCount(int slot) const;
    /// The user has had the slot's page in front of them: every new mark goes.
    void AcknowledgeNewPosts(int slot);
    /// The user opened a row: its post is no longer new.
    void AcknowledgeRow(int slot, int row);

    Grid& GridOf(int slot) const;
    EditBox& AddressBoxOf(int slot) const;
    EditBox& IntervalBoxOf(int slot) const;
    RadioButton& StartButtonOf(int slot) const;

private:
    struct Slot;
    void RunMonitor(int number, std::stop_token stop);
    /// Marks the rows whose link is still unacknowledged; under the slot's gate.
    void RefreshMarks(Slot& slot, int rows);
    void ReapFinished();

    Form& m_form;
    const Settings& m_settings;
    const KeywordList& m_keywords;
    Options m_options;
    std::array<std::unique_ptr<Slot>, kSlotCount> m_slots;
    struct Retired {
        std::jthread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    std::mutex m_retiredMutex;
    std::list<Retired> m_retired;  // stopped workers, joined once they have returned
};

}  // namespace lumora
