#include "tools/defaults/DefaultsRunner.h"

#include <iterator>
#include <sstream>

#include "platform/linux/FileAccess.h"

namespace quayline::defaults {
namespace {

constexpr std::size_t kMaxImportSize = std::size_t{64} << 20;

class Runner {
 public:
  Runner(FilePreferenceDomains& domains, Streams streams) : domains_(domains), io_(streams) {}

  int operator()(const ShowUsage&) {
    io_.out << usageText();
    return 0;
  }

  int operator()(const ListDomains&) {
    const std::vector<std::string> names = domains_.domains();
    for (std::size_t i = 0; i < names.size(); ++i) {
      io_.out << (i ? ", " : "") << names[i];
    }
    io_.out << '\n';
    return 0;
  }

  int operator()(const ReadEverything&) {
    PropertyValue::Dictionary everything;
    for (const std::string& name : domains_.domains()) {
      everything.emplace(name, PropertyValue(domains_.copyAll(name)));
    }
    io_.out << describe(PropertyValue(std::move(everything))) << '\n';
    return 0;
  }

  int operator()(const ReadDomain& command) {
    if (!requireStored(command.domain)) {
      return 1;
    }
    io_.out << describe(PropertyValue(domains_.copyAll(command.domain))) << '\n';
    return 0;
  }

  int operator()(const ReadValue& command) {
    const auto value = storedValue(command.domain, command.key);
    if (!value) {
      return 1;
    }
    // A lone string prints as it is, ready for use in a script.
    io_.out << (value->string() ? *value->string() : describe(*value)) << '\n';
    return 0;
  }

  int operator()(const ReadType& command) {
    const auto value = storedValue(command.domain, command.key);
    if (!value) {
      return 1;
    }
    io_.out << "Type is " << typeName(value->type()) << '\n';
    return 0;
  }

  int operator()(const WriteValue& command) {
    if (!requireValidName(command.domain)) {
      return 1;
    }
    domains_.set(command.domain, command.key, command.value);
    return confirmWritten(command.domain);
  }

  int operator()(const DeleteDomain& command) {
    if (!requireValidName(command.domain)) {
      return 1;
    }
    if (domains_.fileState(command.domain) == FilePreferenceDomains::FileState::missing) {
      return fail("the domain " + command.domain + " does not exist");
    }
    return domains_.removeDomain(command.domain)
               ? 0
               : fail("could not remove the domain " + command.domain);
  }

  int operator()(const DeleteValue& command) {
    if (!storedValue(command.domain, command.key)) {
      return 1;
    }
    domains_.set(command.domain, command.key, std::nullopt);
    return confirmWritten(command.domain);
  }

  int operator()(const ImportDomain& command) {
    if (!requireValidName(command.domain)) {
      return 1;
    }
    const auto bytes = readSource(command.source);
    if (!bytes) {
      return 1;
    }
    std::optional<PropertyValue> decoded = decodePropertyList(*bytes);
    if (!decoded) {
      return fail(sourceName(command.source) + " is not a readable property list");
    }
    if (!decoded->dictionary()) {
      return fail(sourceName(command.source) + " holds " + std::string(typeName(decoded->type())) +
                  " at its top level; a domain is imported from a dictionary");
    }
    if (!domains_.replaceAll(command.domain, std::move(*decoded->dictionary()))) {
      return fail("could not write the domain " + command.domain);
    }
    return 0;
  }

  int operator()(const ExportDomain& command) {
    if (!requireStored(command.domain)) {
      return 1;
    }
    const std::string xml = encodeXmlPropertyList(PropertyValue(domains_.copyAll(command.domain)));
    if (command.destination == "-") {
      io_.out << xml;
      return io_.out.flush() ? 0 : fail("could not write to standard output");
    }
    const std::error_code error = writeFileAtomically(
        command.destination,
        std::span(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()), 0644);
    return error ? fail("could not write " + command.destination + ": " + error.message()) : 0;
  }

 private:
  int fail(const std::string& message) {
    io_.err << "quayline-defaults: " << message << '\n';
    return 1;
  }

  bool requireValidName(const std::string& domain) {
    if (domains_.fileFor(domain)) {
      return true;
    }
    fail("\"" + domain + "\" is not a valid domain name");
    return false;
  }

  // The domain has a readable file: reads of a missing or damaged domain are errors.
  bool requireStored(const std::string& domain) {
    if (!requireValidName(domain)) {
      return false;
    }
    switch (domains_.fileState(domain)) {
      case FilePreferenceDomains::FileState::readable:
        return true;
      case FilePreferenceDomains::FileState::missing:
        fail("the domain " + domain + " does not exist");
        return false;
      case FilePreferenceDomains::FileState::unreadable:
        fail("the domain " + domain + " is stored in " + domains_.fileFor(domain)->string() +
             ", which is not a readable property-list dictionary");
        return false;
    }
    return false;
  }

  std::optional<PropertyValue> storedValue(const std::string& domain, const std::string& key) {
    if (!requireStored(domain)) {
      return std::nullopt;
    }
    auto value = domains_.copy(domain, key);
    if (!value) {
      fail("the domain/default pair of (" + domain + ", " + key + ") does not exist");
    }
    return value;
  }

  int confirmWritten(const std::string& domain) {
    return domains_.synchronize(domain) ? 0 : fail("could not write the domain " + domain);
  }

  static std::string sourceName(const std::string& source) {
    return source == "-" ? "standard input" : source;
  }

  std::optional<std::vector<std::uint8_t>> readSource(const std::string& source) {
    if (source == "-") {
      std::vector<std::uint8_t> bytes;
      try {
        bytes.assign(std::istreambuf_iterator<char>(io_.in), std::istreambuf_iterator<char>());
      } catch (const std::ios_base::failure&) {
        // A stream buffer throws when the read itself fails (standard input is a folder, say).
        io_.in.setstate(std::ios::badbit);
      }
      if (io_.in.bad()) {
        fail("could not read standard input");
        return std::nullopt;
      }
      return bytes;
    }
    FileContents contents = readWholeFile(source, kMaxImportSize);
    switch (contents.status) {
      case FileContents::Status::read:
        return std::move(contents.bytes);
      case FileContents::Status::missing:
        fail("cannot read " + source + ": no such file");
        return std::nullopt;
      case FileContents::Status::failed:
        fail("cannot read " + source + ": " + contents.error.message());
        return std::nullopt;
    }
    return std::nullopt;
  }

  FilePreferenceDomains& domains_;
  Streams io_;
};

}  // namespace

int run(const Command& command, FilePreferenceDomains& domains, Streams streams) {
  return std::visit(Runner(domains, streams), command);
}

}  // namespace quayline::defaults
