#include "XResourceCounts.h"

#include <sys/uio.h>
#include <xcb/xcbext.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace quayline::bench {

namespace {

// xcb keys extensions by the address of this record.
xcb_extension_t resourceExtension = {"X-Resource", 0};

enum Minor : std::uint8_t {
  queryVersion = 0,
  queryClients = 1,
  queryClientResources = 2,
  queryClientIds = 4,
};
constexpr std::uint32_t kLocalClientPidMask = 2;
constexpr std::size_t kReplyHeader = 32;

using Reply = std::unique_ptr<std::uint8_t, decltype(&std::free)>;

// Sends one request (its body after the four header bytes xcb fills in) and waits for the
// reply: the 32-byte header followed by the reply's list. Nothing on an error.
Reply call(xcb_connection_t* c, Minor minor, std::vector<std::uint32_t> body) {
  body.insert(body.begin(), 0);  // major opcode, minor opcode and length, set by xcb
  xcb_protocol_request_t request{1, &resourceExtension, minor, 0};
  iovec parts[3]{};
  parts[2].iov_base = body.data();
  parts[2].iov_len = body.size() * sizeof(std::uint32_t);
  const unsigned sequence = xcb_send_request(c, XCB_REQUEST_CHECKED, parts + 2, &request);
  xcb_generic_error_t* error = nullptr;
  auto* reply = static_cast<std::uint8_t*>(xcb_wait_for_reply(c, sequence, &error));
  std::free(error);
  return Reply(reply, &std::free);
}

std::uint32_t word(const std::uint8_t* reply, std::size_t offset) {
  std::uint32_t value = 0;
  std::memcpy(&value, reply + offset, sizeof value);
  return value;
}

std::size_t replySize(const std::uint8_t* reply) {
  return kReplyHeader + 4 * std::size_t{word(reply, 4)};
}

}  // namespace

std::optional<XResourceCounts> XResourceCounts::open(xcb_connection_t* c) {
  const xcb_query_extension_reply_t* present = xcb_get_extension_data(c, &resourceExtension);
  if (present == nullptr || !present->present) {
    return std::nullopt;
  }
  XResourceCounts server(c);
  // Client version 1.2 in the first two bytes, as the request lays them out.
  const Reply reply = call(c, queryVersion, {1u | 2u << 8});
  if (!reply) {
    return std::nullopt;
  }
  std::uint16_t versions[2];
  std::memcpy(versions, reply.get() + 8, sizeof versions);
  server.major_ = versions[0];
  server.minor_ = versions[1];
  return server;
}

std::optional<std::uint32_t> XResourceCounts::clientOf(xcb_window_t window) {
  const Reply reply = call(c_, queryClients, {});
  if (!reply) {
    return std::nullopt;
  }
  const std::uint32_t count = word(reply.get(), 8);
  for (std::uint32_t i = 0; i < count && kReplyHeader + 8 * (i + 1) <= replySize(reply.get());
       ++i) {
    const std::uint32_t base = word(reply.get(), kReplyHeader + 8 * i);
    const std::uint32_t mask = word(reply.get(), kReplyHeader + 8 * i + 4);
    if ((window & ~mask) == base) {
      return base;
    }
  }
  return std::nullopt;
}

std::vector<std::uint32_t> XResourceCounts::clientsOfProcess(pid_t pid) {
  std::vector<std::uint32_t> bases;
  if (major_ < 1 || (major_ == 1 && minor_ < 2)) {
    return bases;
  }
  // One query for every client (0) and its process id.
  const Reply reply = call(c_, queryClientIds, {1, 0, kLocalClientPidMask});
  if (!reply) {
    return bases;
  }
  const std::size_t size = replySize(reply.get());
  const std::uint32_t count = word(reply.get(), 8);
  std::size_t offset = kReplyHeader;
  for (std::uint32_t i = 0; i < count && offset + 12 <= size; ++i) {
    const std::uint32_t client = word(reply.get(), offset);
    const std::uint32_t mask = word(reply.get(), offset + 4);
    const std::uint32_t length = word(reply.get(), offset + 8);
    if (offset + 12 + length > size) {
      break;
    }
    if (mask == kLocalClientPidMask && length == 4 &&
        word(reply.get(), offset + 12) == static_cast<std::uint32_t>(pid)) {
      bases.push_back(client);
    }
    offset += 12 + length;
  }
  return bases;
}

std::optional<ResourceCounts> XResourceCounts::resources(std::uint32_t clientBase) {
  const Reply reply = call(c_, queryClientResources, {clientBase});
  if (!reply) {
    return std::nullopt;
  }
  ResourceCounts counts;
  const std::uint32_t types = word(reply.get(), 8);
  for (std::uint32_t i = 0; i < types && kReplyHeader + 8 * (i + 1) <= replySize(reply.get());
       ++i) {
    counts[atomName(word(reply.get(), kReplyHeader + 8 * i))] +=
        word(reply.get(), kReplyHeader + 8 * i + 4);
  }
  return counts;
}

std::string XResourceCounts::atomName(xcb_atom_t atom) {
  if (const auto known = names_.find(atom); known != names_.end()) {
    return known->second;
  }
  auto* reply = xcb_get_atom_name_reply(c_, xcb_get_atom_name(c_, atom), nullptr);
  std::string name =
      reply ? std::string(xcb_get_atom_name_name(reply),
                          static_cast<std::size_t>(xcb_get_atom_name_name_length(reply)))
            : "atom " + std::to_string(atom);
  std::free(reply);
  return names_[atom] = name;
}

ResourceCounts total(XResourceCounts& server, const std::vector<std::uint32_t>& clientBases) {
  ResourceCounts sum;
  for (const std::uint32_t base : clientBases) {
    for (const auto& [type, count] : server.resources(base).value_or(ResourceCounts{})) {
      sum[type] += count;
    }
  }
  return sum;
}

}  // namespace quayline::bench
