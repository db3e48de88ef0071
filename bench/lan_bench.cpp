// Datagrams per second through ReadDatagram and the receive handler: "CB" into the paste buffer,
// "FL" into a real temporary file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "common/error_record.h"
#include "files/dialogs.h"
#include "files/settings.h"
#include "lan/datagram.h"
#include "lan/host_network.h"
#include "lan/lan_desktop.h"
#include "lan/lan_view.h"
#include "lan/receiver.h"

namespace {

using namespace talvorine;

class NoView : public lan::LanView {
 public:
  void SetEdit1Text(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
  void SetIPaddrText(std::string_view) override {}
  void ShowSendForm() override {}
  void HideSendForm() override {}
  void SetLabel2Caption(std::string_view) override {}
  void SetProgressBar1Max(std::uint64_t) override {}
  void SetProgressBar1Position(std::uint64_t) override {}
  void StartTrayAnimation() override {}
  void StopTrayAnimation() override {}
};

class NoDesktop : public lan::LanDesktop {
 public:
  desktop::MessageBoxResult ShowMessageBox(std::string_view, std::string_view,
                                           desktop::MessageBoxStyle) override {
    return desktop::MessageBoxResult::kNo;
  }
  void BringApplicationToFront() override {}
  void Sleep(std::uint32_t) override {}
  void ProcessPendingMessages() override {}
};

class NoDialogs : public files::Dialogs {
 public:
  std::optional<std::string> RunFileDialog(files::FileDialogId, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> InputQuery(std::string_view, std::string_view, std::string_view,
                                        int) override {
    return std::nullopt;
  }
};

class Host : public lan::HostNetwork {
 public:
  std::string HostName() override { return "BENCH"; }
  std::optional<std::string> OwnAddress() override { return "192.168.1.23"; }
  std::optional<std::string> FirstAddressTableMask() override { return "255.255.255.0"; }
};

class NoRecord : public ErrorRecord {
 public:
  void AddLine(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
  std::string Text() const override { return {}; }
};

// The receiver with its ports, working in a fresh temporary directory (".\recv.tmp" is there).
class Bench {
 public:
  explicit Bench(ErrorRecord& record)
      : previous_(std::filesystem::current_path()),
        dir_(std::filesystem::temp_directory_path() /
             ("talvorine-lan-bench-" + std::to_string(std::random_device{}()))),
        receiver_(Settings(), host_, desktop_, dialogs_, view_, record) {
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  ~Bench() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  lan::Receiver& receiver() { return receiver_; }

 private:
  static const files::Settings& Settings() {
    static const files::Settings settings = [] {
      files::Settings s;
      s.CkNWUse = true;
      return s;
    }();
    return settings;
  }

  std::filesystem::path previous_;
  std::filesystem::path dir_;
  Host host_;
  NoDesktop desktop_;
  NoDialogs dialogs_;
  NoView view_;
  lan::Receiver receiver_;
};

constexpr std::string_view kPeer = "192.168.1.50";

template <typename Record>
void BM_TextDatagrams(benchmark::State& state) {
  Record record;
  Bench bench(record);
  const std::string datagram = lan::MakeTextDatagram("本日の議題は三つです。まず予算について。");
  for (auto _ : state) {
    bench.receiver().IdUDPServer1UDPRead(datagram, kPeer);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextDatagrams<NoRecord>)->Name("CB/no-op record");
BENCHMARK(BM_TextDatagrams<MemoryErrorRecord>)->Name("CB/memory record");

void BM_FileChunks(benchmark::State& state) {
  NoRecord record;
  Bench bench(record);
  std::string data(lan::kMaxChunkData, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<char>(i * 37 + 11);
  }
  const std::string chunk = lan::MakeFileChunk(data);
  const std::string start = lan::MakeFileStart("PC-B", "C:\\data\\bench.bin");
  // A new start every 64 MiB keeps the file far from the receiver's size limit.
  constexpr std::int64_t kChunksPerFile = (64 << 20) / 250;
  bench.receiver().IdUDPServer1UDPRead(start, kPeer);
  std::int64_t in_file = 0;
  for (auto _ : state) {
    if (++in_file == kChunksPerFile) {
      bench.receiver().IdUDPServer1UDPRead(start, kPeer);
      in_file = 0;
    }
    bench.receiver().IdUDPServer1UDPRead(chunk, kPeer);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_FileChunks)->Name("FL/temp file");

}  // namespace

BENCHMARK_MAIN();
