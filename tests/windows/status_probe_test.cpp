// The probe against a recording stand-in for the request object: which
// members it calls, how, with which arguments, and what it leaves behind.
#include "monitor/status_probe_win.h"

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace urlcheck {
namespace {

using Microsoft::WRL::ComPtr;

// COM objects are destroyed by Release, never through an interface pointer,
// so the interfaces have no virtual destructor to inherit.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Watches the task allocator, which BSTRs come from once the automation
// library's string cache is off: every block allocated while watching must
// be freed again by the time the probe returns.
class AllocationSpy final : public IMallocSpy {
 public:
  // Registered once for the whole program and never revoked: revoking fails
  // while any block it saw is still allocated.
  static AllocationSpy& Instance() {
    static AllocationSpy* spy = [] {
      auto* created = new AllocationSpy;
      using NoCache = void(WINAPI*)();
      const auto no_cache =
          reinterpret_cast<NoCache>(GetProcAddress(LoadLibraryW(L"oleaut32.dll"), "SetOaNoCache"));
      created->usable_ = no_cache != nullptr && SUCCEEDED(CoRegisterMallocSpy(created));
      if (no_cache != nullptr) no_cache();
      return created;
    }();
    return *spy;
  }

  bool Usable() const { return usable_; }
  void StartWatching() {
    std::lock_guard<std::mutex> lock(mutex_);
    watching_ = true;
    live_.clear();
    freed_.clear();
  }
  // The blocks allocated since StartWatching that are still allocated.
  std::size_t StopWatching() {
    std::lock_guard<std::mutex> lock(mutex_);
    watching_ = false;
    return live_.size();
  }
  // Whether a block freed while watching held this address in its first
  // bytes (a BSTR points past the length in front of it).
  bool FreedBlockHolding(const void* address) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto after = freed_.upper_bound(address);
    if (after == freed_.begin()) return false;
    const char* block = static_cast<const char*>(*std::prev(after));
    return static_cast<const char*>(address) - block <= 16;
  }

  // IUnknown: the spy lives as long as the program.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IMallocSpy) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IMallocSpy*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
  void* STDMETHODCALLTYPE PostAlloc(void* block) override {
    Allocated(block);
    return block;
  }
  void* STDMETHODCALLTYPE PreFree(void* block, BOOL) override {
    Freed(block);
    return block;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** passed_on, BOOL) override {
    Freed(block);
    *passed_on = block;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* block, BOOL) override {
    Allocated(block);
    return block;
  }
  void* STDMETHODCALLTYPE PreGetSize(void* block, BOOL) override { return block; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* block, BOOL) override { return block; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int allocated) override { return allocated; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}

 private:
  AllocationSpy() = default;
  void Allocated(void* block) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (watching_ && block != nullptr) live_.insert(block);
  }
  void Freed(void* block) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!watching_ || block == nullptr) return;
    live_.erase(block);
    freed_.insert(block);
  }

  bool usable_ = false;
  std::mutex mutex_;
  bool watching_ = false;
  std::set<const void*> live_;
  std::set<const void*> freed_;
};

std::wstring DescribeArgument(const VARIANT& value) {
  switch (value.vt) {
    case VT_I4: return L"I4 " + std::to_wstring(value.lVal);
    case VT_BOOL:
      return value.boolVal == VARIANT_FALSE  ? L"BOOL false"
             : value.boolVal == VARIANT_TRUE ? L"BOOL true"
                                             : L"BOOL " + std::to_wstring(value.boolVal);
    case VT_BSTR:
      if (value.bstrVal == nullptr) return L"BSTR null";
      return L"BSTR \"" + std::wstring(value.bstrVal, SysStringLen(value.bstrVal)) + L"\"";
    default: return L"VT " + std::to_wstring(value.vt);
  }
}

std::wstring DescribeFlags(WORD flags) {
  switch (flags) {
    case DISPATCH_METHOD: return L"method";
    case DISPATCH_PROPERTYGET: return L"get";
    case DISPATCH_PROPERTYPUT: return L"put";
    default: return L"flags " + std::to_wstring(flags);
  }
}

// A request object that records each call as one line of text,
//   <member> <kind>(<arguments in declared order>)[ named <dispids>]
// and reports as status whatever the test's status function gives.
class FakeRequest final : public IDispatch {
 public:
  // Invoke of this member fails as a real failed call does, with an
  // exception whose strings the caller must free.
  std::wstring failing_member;
  // GetIDsOfNames does not know this member.
  std::wstring unknown_member;
  std::function<HRESULT(VARIANT*)> status = [](VARIANT* result) {
    result->vt = VT_I4;
    result->lVal = 200;
    return S_OK;
  };

  std::vector<std::wstring> looked_up;  // every name passed to GetIDsOfNames
  std::vector<std::wstring> calls;      // every Invoke that reached a member
  ULONG references = 1;                 // the test's own

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IDispatch) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1) return E_INVALIDARG;
    looked_up.emplace_back(names[0]);
    if (looked_up.back() == unknown_member) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    // Names are matched exactly, so a misspelt or wrongly cased member shows.
    ids[0] = static_cast<DISPID>(looked_up.size());
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    if (member < 1 || static_cast<std::size_t>(member) > looked_up.size()) return DISP_E_MEMBERNOTFOUND;
    const std::wstring& name = looked_up[static_cast<std::size_t>(member) - 1];
    std::wstring line = name + L" " + DescribeFlags(flags) + L"(";
    for (UINT i = parameters->cArgs; i-- > 0;) {
      line += DescribeArgument(parameters->rgvarg[i]);
      if (i > 0) line += L", ";
    }
    line += L")";
    if (parameters->cNamedArgs > 0) {
      line += L" named";
      for (UINT i = 0; i < parameters->cNamedArgs; ++i) {
        line += L" " + std::to_wstring(parameters->rgdispidNamedArgs[i]);
      }
    }
    calls.push_back(line);

    if (name == failing_member) {
      if (exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->bstrSource = SysAllocString(L"FakeRequest");
        exception->bstrDescription = SysAllocString(L"this step fails");
        exception->scode = static_cast<SCODE>(0x80072EFD);
      }
      return DISP_E_EXCEPTION;
    }
    if (name == L"status") return result != nullptr ? status(result) : E_POINTER;
    return S_OK;
  }
};

#pragma GCC diagnostic pop

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// The calls of one probe of the address when every step goes through.
std::vector<std::wstring> ExpectedCalls(const std::wstring& address) {
  return {
      L"Option put(I4 6, I4 0) named " + std::to_wstring(DISPID_PROPERTYPUT),
      L"SetTimeouts method(I4 5000, I4 5000, I4 10000, I4 5000)",
      L"open method(BSTR \"GET\", BSTR " + Quoted(address) + L", BOOL false)",
      L"setRequestHeader method(BSTR \"User-Agent\", "
      L"BSTR \"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)\")",
      L"setRequestHeader method(BSTR \"Accept-Language\", BSTR \"zh-cn\")",
      L"setRequestHeader method(BSTR \"Connection\", BSTR \"Keep-Alive\")",
      L"setRequestHeader method(BSTR \"Accept\", BSTR \"image/gif, image/x-xbitmap, image/jpeg, "
      L"image/pjpeg, application/x-shockwave-flash, application/x-silverlight, */*\")",
      L"send method()",
      L"status get()",
  };
}

std::wstring MemberOf(const std::wstring& call) { return call.substr(0, call.find(L' ')); }

class StatusProbeTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AllocationSpy::Instance().Usable()) << "cannot watch BSTR allocations";
  }

  // Probes through the fake and checks that the probe left nothing behind:
  // no reference to the object and no string from it or its own.
  std::int32_t Probe(const Text& address) {
    AllocationSpy& spy = AllocationSpy::Instance();
    spy.StartWatching();
    const std::int32_t status = ProbeStatus(address, [this] { return ComPtr<IDispatch>(&fake_); });
    EXPECT_EQ(spy.StopWatching(), 0u) << "blocks allocated during the probe and not freed";
    EXPECT_EQ(fake_.references, 1u) << "the probe kept a reference to the request object";
    return status;
  }

  FakeRequest fake_;
};

TEST_F(StatusProbeTest, CallsEachMemberInOrderWithTheRightKindAndArguments) {
  EXPECT_EQ(Probe("http://127.0.0.1/status/200"), 200);
  EXPECT_EQ(fake_.calls, ExpectedCalls(L"http://127.0.0.1/status/200"));
  std::vector<std::wstring> members;
  for (const auto& call : ExpectedCalls(L"")) members.push_back(MemberOf(call));
  EXPECT_EQ(fake_.looked_up, members) << "each member is looked up afresh for each call";
}

TEST_F(StatusProbeTest, PassesTheAddressUnchangedAsUtf16) {
  const struct {
    Text address;
    std::wstring passed;
  } cases[] = {
      {"", L""},  // an empty BSTR, not a null one
      {" http://127.0.0.1/a b ", L" http://127.0.0.1/a b "},
      {"127.0.0.1/no-scheme", L"127.0.0.1/no-scheme"},
      // 中文 and 日志 in code page 936
      {"http://\xD6\xD0\xCE\xC4.example/\xC8\xD5\xD6\xBE?q=\xD6\xD0",
       L"http://\u4E2D\u6587.example/\u65E5\u5FD7?q=\u4E2D"},
  };
  for (const auto& c : cases) {
    fake_ = FakeRequest{};
    Probe(c.address);
    ASSERT_EQ(fake_.calls.size(), 9u);
    EXPECT_EQ(fake_.calls[2], L"open method(BSTR \"GET\", BSTR " + Quoted(c.passed) + L", BOOL false)")
        << "address \"" << c.address << "\"";
  }
}

// A failed step never stops the probe: every later step is still issued,
// and only a failed status read decides the result.
TEST_F(StatusProbeTest, IssuesEveryStepWhateverFailsBeforeIt) {
  const std::vector<std::wstring> all = ExpectedCalls(L"http://127.0.0.1/");
  for (const std::wstring member :
       {L"Option", L"SetTimeouts", L"open", L"setRequestHeader", L"send", L"status"}) {
    for (const bool unknown : {false, true}) {
      SCOPED_TRACE(testing::Message() << (unknown ? "unknown name " : "failing call ") << member);
      fake_ = FakeRequest{};
      (unknown ? fake_.unknown_member : fake_.failing_member) = member;

      std::vector<std::wstring> expected;
      for (const auto& call : all) {
        if (!unknown || MemberOf(call) != member) expected.push_back(call);
      }
      EXPECT_EQ(Probe("http://127.0.0.1/"), member == L"status" ? 0 : 200);
      EXPECT_EQ(fake_.calls, expected);
      EXPECT_EQ(fake_.looked_up.size(), all.size());
    }
  }
}

TEST_F(StatusProbeTest, NoRequestObjectGivesZeroAtOnce) {
  int made = 0;
  EXPECT_EQ(ProbeStatus("http://127.0.0.1/",
                        [&made] {
                          ++made;
                          return ComPtr<IDispatch>();
                        }),
            0);
  EXPECT_EQ(made, 1);
}

TEST_F(StatusProbeTest, ConvertsTheStatusValueToAnInteger) {
  const auto number = [](VARTYPE type, auto set) {
    return [type, set](VARIANT* result) {
      result->vt = type;
      set(*result);
      return S_OK;
    };
  };
  const auto real = [&number](double value) {
    return number(VT_R8, [value](VARIANT& v) { v.dblVal = value; });
  };
  const auto text = [](const wchar_t* value) {
    return [value](VARIANT* result) {
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(value);
      return S_OK;
    };
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  const struct {
    const char* what;
    std::function<HRESULT(VARIANT*)> status;
    std::int32_t expected;
  } cases[] = {
      {"I4 200", number(VT_I4, [](VARIANT& v) { v.lVal = 200; }), 200},
      {"I2 301", number(VT_I2, [](VARIANT& v) { v.iVal = 301; }), 301},
      {"R8 404.9 truncates", real(404.9), 404},
      {"R8 -0.9 truncates toward zero", real(-0.9), 0},
      {"BSTR 302", text(L"302"), 302},
      {"BSTR not a number", text(L"abc"), 0},
      {"BSTR empty", text(L""), 0},
      {"EMPTY",
       [](VARIANT* result) {
         result->vt = VT_EMPTY;
         return S_OK;
       },
       0},
      {"failed read", [](VARIANT*) { return E_FAIL; }, 0},
      {"failed read that left a value",
       [](VARIANT* result) {
         result->vt = VT_BSTR;
         result->bstrVal = SysAllocString(L"200");
         return E_FAIL;
       },
       0},
      {"R8 largest 32-bit", real(2147483647.9), 2147483647},
      {"R8 smallest 32-bit", real(-2147483648.9), -2147483647 - 1},
      {"R8 just past 32 bits", real(2147483648.0), 0},
      {"R8 just below 32 bits", real(-2147483649.0), 0},
      {"UI4 past 32-bit signed", number(VT_UI4, [](VARIANT& v) { v.ulVal = 4000000200u; }), 0},
      {"R8 NaN", real(nan), 0},
      {"R8 infinity", real(infinity), 0},
      {"R8 -infinity", real(-infinity), 0},
  };
  for (const auto& c : cases) {
    fake_ = FakeRequest{};
    fake_.status = c.status;
    EXPECT_EQ(Probe("http://127.0.0.1/"), c.expected) << c.what;
  }
}

TEST_F(StatusProbeTest, FreesTheStatusStringTheObjectReturns) {
  BSTR returned = nullptr;
  fake_.status = [&returned](VARIANT* result) {
    result->vt = VT_BSTR;
    result->bstrVal = returned = SysAllocString(L"404");
    return S_OK;
  };
  EXPECT_EQ(Probe("http://127.0.0.1/"), 404);
  ASSERT_NE(returned, nullptr);
  EXPECT_TRUE(AllocationSpy::Instance().FreedBlockHolding(returned));
}

}  // namespace
}  // namespace urlcheck
