// Settings types of the archive component: option sets, overwrite and code-page choices,
// progress kinds. Free of Win32, so the rules that read them are tested natively.
#pragma once

#include <cstdint>
#include <initializer_list>

// A set of values of an enumeration with at most 16 members, stored in two bytes.
template <typename E>
class OptionSet {
 public:
  constexpr OptionSet() = default;
  constexpr OptionSet(std::initializer_list<E> values) {
    for (E v : values) bits_ = uint16_t(bits_ | Bit(v));
  }

  constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  OptionSet& Include(E v) {
    bits_ = uint16_t(bits_ | Bit(v));
    return *this;
  }
  OptionSet& Exclude(E v) {
    bits_ = uint16_t(bits_ & ~Bit(v));
    return *this;
  }
  constexpr uint16_t Bits() const { return bits_; }
  constexpr bool operator==(OptionSet o) const { return bits_ == o.bits_; }
  constexpr bool operator!=(OptionSet o) const { return bits_ != o.bits_; }

 private:
  static constexpr uint16_t Bit(E v) { return uint16_t(1u << unsigned(v)); }
  uint16_t bits_ = 0;
};

enum AddOptsEnum {
  AddDirNames,
  AddRecurseDirs,
  AddMove,
  AddFreshen,
  AddUpdate,
  AddZipTime,
  AddForceDOS,
  AddHiddenFiles,
  AddEncrypt,
  AddSeparateDirs,
  AddDiskSpan,
  AddDiskSpanErase,
};
using AddOpts = OptionSet<AddOptsEnum>;

enum ExtrOptsEnum { ExtrDirNames, ExtrOverWrite, ExtrFreshen, ExtrUpdate, ExtrTest };
using ExtrOpts = OptionSet<ExtrOptsEnum>;

enum SFXOptsEnum { SFXAskCmdLine, SFXAskFiles, SFXAutoRun, SFXHideOverWriteBox, SFXCheckSize };
using SFXOpts = OptionSet<SFXOptsEnum>;

enum OvrOpts { OvrConfirm, OvrAlways, OvrNever };
enum CodePageOpts { cpAuto, cpNone, cpOEM };
enum DeleteOpts { htdFinal, htdAllowUndo };

enum ProgressType {
  ptFileStart = 0,
  ptFileProgress = 1,
  ptBatchEnd = 2,
  ptTotalFiles = 3,
  ptTotalSize = 4,
};
