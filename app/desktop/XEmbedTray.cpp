#include "desktop/XEmbedTray.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QRegularExpression>

#include <xcb/xcb.h>

#include <cstdlib>

namespace kivo {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const QByteArray& name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()),
      nullptr);
  const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return result;
}

// The screen of DISPLAY ("host:display.screen"), as the connection was opened with it.
int screenNumber() {
  static const QRegularExpression pattern(QStringLiteral(R"(:\d+\.(\d+)$)"));
  const QRegularExpressionMatch match = pattern.match(qEnvironmentVariable("DISPLAY"));
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

}  // namespace

std::unique_ptr<XEmbedTray> XEmbedTray::forDesktop() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return nullptr;
  return std::unique_ptr<XEmbedTray>(new XEmbedTray(x11->connection(), screenNumber()));
}

XEmbedTray::XEmbedTray(xcb_connection_t* connection, int screen) : connection_(connection) {
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  for (int i = 0; it.rem && i < screen; ++i) xcb_screen_next(&it);
  if (!it.rem) return;
  root_ = it.data->root;
  selection_ = atom(connection_, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen));
  manager_ = atom(connection_, "MANAGER");
  // MANAGER messages go to the root window's structure listeners. The toolkit listens there
  // already; added to what it asked for, never in place of it.
  xcb_get_window_attributes_reply_t* attributes =
      xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, root_), nullptr);
  if (attributes && !(attributes->your_event_mask & XCB_EVENT_MASK_STRUCTURE_NOTIFY)) {
    const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
  }
  std::free(attributes);
  QCoreApplication::instance()->installNativeEventFilter(this);
  lookUp();
}

XEmbedTray::~XEmbedTray() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

void XEmbedTray::lookUp() {
  if (selection_ == XCB_ATOM_NONE) return;
  xcb_get_selection_owner_reply_t* reply =
      xcb_get_selection_owner_reply(connection_, xcb_get_selection_owner(connection_, selection_), nullptr);
  const xcb_window_t owner = reply ? reply->owner : xcb_window_t{XCB_WINDOW_NONE};
  std::free(reply);
  if (owner != XCB_WINDOW_NONE) {
    // To hear when the manager leaves: its window is destroyed.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, owner, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
  }
  if (owner == owner_) return;
  const bool was = isPresent();
  owner_ = owner;
  if (was != isPresent()) emit presentChanged(isPresent());
}

bool XEmbedTray::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t" || !message) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  switch (event->response_type & ~0x80) {
    case XCB_CLIENT_MESSAGE: {
      const auto* client = static_cast<const xcb_client_message_event_t*>(message);
      if (client->window == root_ && client->type == manager_ && client->format == 32 &&
          client->data.data32[1] == selection_) {
        // After the toolkit has seen the message too: an icon made meanwhile would be docked
        // twice.
        QMetaObject::invokeMethod(this, &XEmbedTray::lookUp, Qt::QueuedConnection);
      }
      break;
    }
    case XCB_DESTROY_NOTIFY: {
      const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
      if (owner_ != 0 && destroyed->window == owner_) lookUp();
      break;
    }
    default:
      break;
  }
  return false;
}

}  // namespace kivo
