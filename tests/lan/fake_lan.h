#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "desktop/text_inserter.h"
#include "files/dialogs.h"
#include "lan/host_network.h"
#include "lan/lan_view.h"
#include "lan/udp_endpoint.h"

namespace talvorine::testing {

class FakeNetwork;

// An endpoint on a FakeNetwork. What it sends reaches every open endpoint of the network that
// listens on the destination port, itself included (a broadcast segment); arrivals wait in the
// inbox until DeliverPending, as datagrams wait in a socket until the message loop runs.
class FakeEndpoint : public lan::UdpEndpoint {
 public:
  struct Sent {
    std::string host;
    std::uint16_t port;
    std::string bytes;
  };
  struct Arrival {
    std::string bytes;
    std::string source_address;
  };

  FakeEndpoint(FakeNetwork& network, std::string own_address);
  ~FakeEndpoint() override;

  void Open(std::uint16_t port) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  std::uint16_t Port() const override { return port_; }
  void Send(std::string_view host, std::uint16_t port, std::string_view datagram) override;
  void SetReceiveHandler(ReceiveHandler handler) override { handler_ = std::move(handler); }

  // A datagram from another host, to be delivered with the next DeliverPending.
  void Inject(std::string_view bytes, std::string_view source_address) {
    inbox.push_back({std::string(bytes), std::string(source_address)});
  }
  // Hands the waiting datagrams to the receive handler while the endpoint is open.
  void DeliverPending();

  const std::string& own_address() const { return own_address_; }

  // Test controls and records.
  bool fail_open = false;
  int fail_sends = 0;  // this many of the next sends raise
  std::vector<Sent> sent;
  std::vector<std::string> log;  // "Open 5505", "Close"
  std::deque<Arrival> inbox;

 private:
  FakeNetwork& network_;
  std::string own_address_;
  bool open_ = false;
  std::uint16_t port_ = 0;
  ReceiveHandler handler_;
};

class FakeNetwork {
 public:
  void Attach(FakeEndpoint* endpoint) { endpoints_.push_back(endpoint); }
  void Detach(FakeEndpoint* endpoint);
  void Carry(const FakeEndpoint& from, std::uint16_t port, std::string_view bytes);
  // Delivers what waits at every endpoint, until nothing waits.
  void DeliverAll();

 private:
  std::vector<FakeEndpoint*> endpoints_;
};

class FakeHostNetwork : public lan::HostNetwork {
 public:
  std::string HostName() override;
  std::optional<std::string> OwnAddress() override { return own_address; }
  std::optional<std::string> FirstAddressTableMask() override { return mask; }

  std::string host_name = "PC-A";
  bool host_name_fails = false;
  std::optional<std::string> own_address = "192.168.1.23";
  std::optional<std::string> mask = "255.255.255.0";
};

// Records what the windows were asked to show, one line per call.
class RecordingLanView : public lan::LanView {
 public:
  void SetEdit1Text(std::string_view text) override;
  void SetIPaddrText(std::string_view text) override;
  void ShowSendForm() override;
  void HideSendForm() override;
  void SetLabel2Caption(std::string_view text) override;
  void SetProgressBar1Max(std::uint64_t maximum) override;
  void SetProgressBar1Position(std::uint64_t position) override;
  void StartTrayAnimation() override;
  void StopTrayAnimation() override;

  std::string edit1;
  std::string ipaddr;
  bool send_form_visible = false;
  bool tray_animated = false;
  std::vector<std::string> log;
};

// File dialogs that give the queued answers in turn (nothing queued: the user cancels).
class FakeDialogs : public files::Dialogs {
 public:
  struct Call {
    files::FileDialogId id;
    std::string initial_name;
  };
  std::optional<std::string> RunFileDialog(files::FileDialogId id,
                                           std::string_view initial_name) override;
  std::optional<std::string> InputQuery(std::string_view, std::string_view, std::string_view,
                                        int) override {
    return std::nullopt;
  }

  std::deque<std::optional<std::string>> answers;
  std::vector<Call> calls;
};

class RecordingInserter : public desktop::TextInserter {
 public:
  void InsertText(std::string_view text, desktop::InsertAfter after) override {
    inserted.emplace_back(text);
    afters.push_back(after);
  }
  std::vector<std::string> inserted;
  std::vector<desktop::InsertAfter> afters;
};

}  // namespace talvorine::testing
