#include "headers/source_sections.h"

#include <atomic>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace codeloom {
namespace {

// How many files, from the one whose turn it is, may be claimed at once.
constexpr size_t kWindowFiles = 4;
// Sections up to this long are scanned ahead, and a slot keeps their
// capacity from file to file. After a longer one, files are scanned in
// their turn only until a short one comes, so that memory holds no long
// section; a long one scanned ahead already gives back its spare capacity.
constexpr size_t kKeptSlotBytes = size_t(256) << 10;

// What the two threads share. Files are claimed in order. The file whose
// turn it is, when nobody has claimed it, is scanned by the main thread
// straight into the header; every other claimed file is scanned into its
// slot, by the helper or, while the helper holds the file whose turn it
// is, by the main thread.
struct Handoff {
  std::mutex lock;
  std::condition_variable changed;
  size_t turn = 0;           // the file to be taken next; the main thread moves it
  size_t nextUnclaimed = 0;
  // A file scanned ahead of its turn. Its text keeps its capacity from
  // file to file: fresh memory for every section costs more than the scan.
  struct Slot {
    bool done = false;
    bool usable = false;  // read whole and short enough: the file's section, unless a name repeats
    bool isLong = false;   // over kKeptSlotBytes, or cut off at the limit
    HeaderText text;
    SectionNotes notes;
    MarkingMacros macrosAtStart;  // the section holds only while the files before it left these
  };
  Slot slots[kWindowFiles];  // file j's in slots[j % kWindowFiles]
  // What the files taken since the helper last looked added: it moves it
  // into its own state before each file.
  std::vector<SectionNotes> merged;
  bool lastSectionLong = false;  // the last section scanned was over kKeptSlotBytes
  std::atomic<bool> stopping{false};
};

// What a file taken in its turn adds to the command's state.
void takeNotes(HeaderScan& command, SectionNotes& notes) {
  for (std::string& name : notes.namesAdded) command.interfaceNames.insert(std::move(name));
  for (auto& [name, word] : notes.macrosDefined) command.macros[name] = word;
  if (command.compiledDll.empty()) command.compiledDll = notes.compiledDll;
}

// Scans a file ahead of its turn with known, the state the files taken
// before it so far left, and takes its own names and macros out again:
// they count once the file is taken in its turn.
void scanAhead(const SectionFile& file, HeaderScan& known, const std::atomic<bool>& stopping, Handoff::Slot& ahead) {
  if (!file.mayReadAhead) return;
  // A section that grows past the limit stops the reading: it is scanned
  // again in turn, printed as it grows.
  bool tooLong = false;
  const SettledOutput limit{[&tooLong](const HeaderText&) { return !(tooLong = true); }, kAheadSectionBytes};
  ahead.macrosAtStart = known.macros;
  const std::string compiledDll = known.compiledDll;
  bool read = appendSourceSection(
      ahead.text, known, file.bannerName,
      [&](const std::function<bool(std::string_view)>& take) {
        return file.read([&](std::string_view window) { return !stopping && take(window); });
      },
      &limit, &ahead.notes);
  for (const std::string& name : ahead.notes.namesAdded) known.interfaceNames.erase(name);
  known.macros = ahead.macrosAtStart;
  known.compiledDll = compiledDll;
  ahead.usable = read && !tooLong && !stopping;
  ahead.isLong = tooLong || ahead.text.text.size() > kKeptSlotBytes;
  if (!ahead.usable) {
    ahead.text = HeaderText();
    ahead.notes = SectionNotes();
  } else if (ahead.text.text.size() > kKeptSlotBytes) {
    ahead.text.text.shrink_to_fit();
  }
}

// Claims the next file when the window has room for it; npos when not.
size_t claimAhead(Handoff& h, size_t files) {
  // Long sections are not held at all: while they come, files are scanned
  // in their turn only, printed as they grow.
  size_t window = h.lastSectionLong ? 1 : kWindowFiles;
  if (h.nextUnclaimed >= files || h.nextUnclaimed >= h.turn + window) return std::string::npos;
  size_t index = h.nextUnclaimed++;
  Handoff::Slot& slot = h.slots[index % kWindowFiles];
  slot.done = slot.usable = slot.isLong = false;
  if (slot.text.text.capacity() > kKeptSlotBytes) slot.text = HeaderText();
  slot.text.clear();
  slot.notes = SectionNotes();
  return index;
}

void runHelper(Handoff& h, const std::vector<SectionFile>& files, HeaderScan known) {
  // known: the state of the files taken so far
  std::unique_lock<std::mutex> guard(h.lock);
  for (;;) {
    size_t index = std::string::npos;
    h.changed.wait(guard, [&] { return h.stopping || (index = claimAhead(h, files.size())) != std::string::npos; });
    if (h.stopping) return;
    // The slot is this thread's until it is done.
    Handoff::Slot& slot = h.slots[index % kWindowFiles];
    bool fine = true;
    try {
      for (SectionNotes& notes : h.merged) takeNotes(known, notes);
      h.merged.clear();
      guard.unlock();
      scanAhead(files[index], known, h.stopping, slot);
    } catch (...) {
      // Out of memory: the file is scanned again in its turn, and so are
      // the rest, as known may now miss a name or hold one of this file's.
      slot.usable = false;
      fine = false;
    }
    if (!guard.owns_lock()) guard.lock();
    slot.done = true;
    h.lastSectionLong = slot.isLong;
    h.changed.notify_all();
    if (!fine) return;
  }
}

// Ends the helper however the main thread leaves.
struct HelperThread {
  Handoff& handoff;
  std::thread thread;
  ~HelperThread() {
    if (!thread.joinable()) return;
    {
      std::lock_guard<std::mutex> guard(handoff.lock);
      handoff.stopping = true;
    }
    handoff.changed.notify_all();
    thread.join();
  }
};

// Whether a section scanned ahead is what the file gives in its turn: no
// interface it wrote was written before, and the macros it knew are those
// the files before it left.
bool holdsInTurn(const Handoff::Slot& slot, const HeaderScan& command) {
  for (const std::string& name : slot.notes.namesAdded)
    if (command.interfaceNames.count(name)) return false;
  return slot.usable && slot.macrosAtStart == command.macros;
}

}  // namespace

bool appendSourceSections(HeaderText& header, HeaderScan& command, const std::vector<SectionFile>& files,
                          const SettledOutput* output,
                          const std::function<bool(size_t index, bool read)>& fileDone) {
  Handoff h;
  HelperThread helper{h, {}};
  size_t readAhead = 0;
  for (const SectionFile& file : files) readAhead += file.mayReadAhead;
  // A command told of each Declare as it is written is told in order.
  if (files.size() > 1 && readAhead > 0 && !command.declared) {
    try {
      helper.thread = std::thread(runHelper, std::ref(h), std::cref(files), command);
    } catch (const std::system_error&) {
      // No second thread: every file is scanned here in its turn.
    }
  }
  std::unique_lock<std::mutex> guard(h.lock);
  while (h.turn < files.size()) {
    const size_t index = h.turn;
    // Until turn moves on, nothing else touches this file's slot.
    Handoff::Slot& slot = h.slots[index % kWindowFiles];
    bool inTurn;
    if (h.nextUnclaimed == index) {
      h.nextUnclaimed = index + 1;
      inTurn = true;
    } else if (slot.done) {
      inTurn = !holdsInTurn(slot, command);
    } else {
      // The helper holds this file: scan a later one meanwhile, or wait.
      size_t later = claimAhead(h, files.size());
      if (later == std::string::npos) {
        h.changed.wait(guard);
        continue;
      }
      Handoff::Slot& laterSlot = h.slots[later % kWindowFiles];
      guard.unlock();
      // Out of memory here ends the command, as it would in turn.
      scanAhead(files[later], command, h.stopping, laterSlot);
      guard.lock();
      laterSlot.done = true;
      h.lastSectionLong = laterSlot.isLong;
      continue;
    }
    guard.unlock();
    bool read = true;
    SectionNotes notes;
    size_t sectionBytes = 0;
    if (inTurn) {
      const SectionFile& file = files[index];
      // The section's length counts what output took of it as it grew.
      size_t taken = 0, before = header.text.size();
      SettledOutput counted;
      if (output) {
        counted = {[&](const HeaderText& settled) {
                     taken += settled.text.size();
                     return output->take(settled);
                   },
                   output->every};
      }
      read = appendSourceSection(header, command, file.bannerName, file.read, output ? &counted : nullptr, &notes,
                                 file.source);
      sectionBytes = taken + header.text.size() - before;
    } else {
      if (header.text.empty()) std::swap(header, slot.text);  // the section as it stands, with no copy
      else header.append(slot.text);
      notes = std::move(slot.notes);
      SectionNotes merged = notes;
      takeNotes(command, merged);
    }
    bool goOn = fileDone(index, read);
    guard.lock();
    if (!goOn) return false;
    if (inTurn) h.lastSectionLong = sectionBytes > kKeptSlotBytes;
    h.merged.push_back(std::move(notes));
    h.turn = index + 1;
    h.changed.notify_all();
  }
  return true;
}

}  // namespace codeloom
