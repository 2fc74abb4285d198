// kelvatrix-cli resraw: the res.raw archive code the resource browser uses, from the command
// line. "list" prints the table, "extract" writes every resource under its browser name, "pack"
// rebuilds the archive from such files in the archive's own table order.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "command.h"
#include "resarchive/res_archive.h"
#include "streams/data_input.h"
#include "streams/error.h"

namespace {

namespace fs = std::filesystem;

int Run(const kxcli::Args& args);

const kxcli::CliCommand kCommand{
    "resraw",
    "kelvatrix-cli resraw list ARCHIVE\n"
    "    prints NUMBER<TAB>ATTRIBUTE<TAB>OFFSET<TAB>SIZE<TAB>NAME per resource\n"
    "kelvatrix-cli resraw extract ARCHIVE DIR\n"
    "    writes every resource to DIR/NAME (DIR is created when missing)\n"
    "kelvatrix-cli resraw pack ARCHIVE DIR\n"
    "    rebuilds ARCHIVE from DIR/NAME in ARCHIVE's table order; a missing file is packed\n"
    "    empty, named on stderr, and the exit code is 1",
    Run};

const kxcli::CliRegistrar reg{kCommand};

kx::ArchiveContents Load(const std::string& path) {
  kx::TDataInput in{fs::path(path)};
  if (!in.Opened)
    throw kx::Error(kx::ErrorCode::OpenFailed, std::string(kx::msg::kOpenFailed) + " " + path);
  return kx::ReadArchive(in);
}

int Run(const kxcli::Args& args) {
  if (args.empty()) return kxcli::UsageError(kCommand);
  const std::string& verb = args[0];
  size_t want = verb == "list" ? 2 : (verb == "extract" || verb == "pack") ? 3 : 0;
  if (want == 0) return kxcli::UsageError(kCommand, "неизвестное действие: " + verb);
  if (args.size() != want) return kxcli::UsageError(kCommand);
  try {
    kx::ArchiveContents archive = Load(args[1]);
    if (verb == "list") {
      for (size_t i = 0; i < archive.ResourceTable.size(); ++i) {
        const kx::ResourceEntry& e = archive.ResourceTable[i];
        std::cout << int{e.Number} << '\t' << int{e.Attribute} << '\t' << e.DataOffset << '\t'
                  << e.DataSize << '\t' << archive.Names[i] << '\n';
      }
      return kxcli::kOk;
    }
    fs::path dir(args[2]);
    if (verb == "extract") {
      std::error_code ec;
      fs::create_directories(dir, ec);
      if (ec) return kxcli::Fail("Не удалось создать папку " + dir.string() + ": " + ec.message());
      kx::WriteResources(archive, dir);
      return kxcli::kOk;
    }
    // Packing from a folder that is not there would empty every resource of the archive.
    if (!fs::is_directory(dir)) return kxcli::Fail("Папка " + dir.string() + " не найдена");
    std::vector<std::string> missing = kx::PackArchive(args[1], archive, dir);
    if (!missing.empty()) return kxcli::Fail(kx::MissingFilesMessage(missing));
    return kxcli::kOk;
  } catch (const kx::Error& e) {
    return kxcli::Fail(e.what());
  }
}

}  // namespace
