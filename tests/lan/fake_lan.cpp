#include "fake_lan.h"

#include <algorithm>

#include "common/error.h"

namespace talvorine::testing {

FakeEndpoint::FakeEndpoint(FakeNetwork& network, std::string own_address)
    : network_(network), own_address_(std::move(own_address)) {
  network_.Attach(this);
}

FakeEndpoint::~FakeEndpoint() {
  network_.Detach(this);
}

void FakeEndpoint::Open(std::uint16_t port) {
  if (open_) {
    return;
  }
  log.push_back("Open " + std::to_string(port));
  if (fail_open) {
    throw Error("UDP ポート " + std::to_string(port) + " を開けません");
  }
  open_ = true;
  port_ = port;
}

void FakeEndpoint::Close() {
  if (!open_) {
    return;
  }
  log.push_back("Close");
  open_ = false;
  port_ = 0;
}

void FakeEndpoint::Send(std::string_view host, std::uint16_t port, std::string_view datagram) {
  if (fail_sends > 0) {
    --fail_sends;
    throw Error(std::string(host) + " に送れません");
  }
  if (!open_) {
    throw Error("closed endpoint");
  }
  sent.push_back({std::string(host), port, std::string(datagram)});
  network_.Carry(*this, port, datagram);
}

void FakeEndpoint::DeliverPending() {
  while (open_ && !inbox.empty()) {
    const Arrival arrival = std::move(inbox.front());
    inbox.pop_front();
    if (handler_) {
      handler_(arrival.bytes, arrival.source_address);
    }
  }
}

void FakeNetwork::Detach(FakeEndpoint* endpoint) {
  endpoints_.erase(std::remove(endpoints_.begin(), endpoints_.end(), endpoint), endpoints_.end());
}

void FakeNetwork::Carry(const FakeEndpoint& from, std::uint16_t port, std::string_view bytes) {
  for (FakeEndpoint* endpoint : endpoints_) {
    if (endpoint->IsOpen() && endpoint->Port() == port) {
      endpoint->Inject(bytes, from.own_address());
    }
  }
}

void FakeNetwork::DeliverAll() {
  bool waiting = true;
  while (waiting) {
    waiting = false;
    for (FakeEndpoint* endpoint : endpoints_) {
      endpoint->DeliverPending();
    }
    for (const FakeEndpoint* endpoint : endpoints_) {
      waiting = waiting || (endpoint->IsOpen() && !endpoint->inbox.empty());
    }
  }
}

std::string FakeHostNetwork::HostName() {
  if (host_name_fails) {
    throw Error("ホスト名を取得できません");
  }
  return host_name;
}

void RecordingLanView::SetEdit1Text(std::string_view text) {
  edit1 = std::string(text);
  log.push_back("Edit1 " + edit1);
}

void RecordingLanView::SetIPaddrText(std::string_view text) {
  ipaddr = std::string(text);
  log.push_back("IPaddr " + ipaddr);
}

void RecordingLanView::ShowSendForm() {
  send_form_visible = true;
  log.push_back("ShowSendForm");
}

void RecordingLanView::HideSendForm() {
  send_form_visible = false;
  log.push_back("HideSendForm");
}

void RecordingLanView::SetLabel2Caption(std::string_view text) {
  log.push_back("Label2 " + std::string(text));
}

void RecordingLanView::SetProgressBar1Max(std::uint64_t maximum) {
  log.push_back("ProgressMax " + std::to_string(maximum));
}

void RecordingLanView::SetProgressBar1Position(std::uint64_t position) {
  log.push_back("Progress " + std::to_string(position));
}

void RecordingLanView::StartTrayAnimation() {
  tray_animated = true;
  log.push_back("TrayStart");
}

void RecordingLanView::StopTrayAnimation() {
  tray_animated = false;
  log.push_back("TrayStop");
}

std::optional<std::string> FakeDialogs::RunFileDialog(files::FileDialogId id,
                                                      std::string_view initial_name) {
  calls.push_back({id, std::string(initial_name)});
  if (answers.empty()) {
    return std::nullopt;
  }
  auto answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace talvorine::testing
