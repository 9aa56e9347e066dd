#include "monitor/status_probe_win.h"

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "common/scoped_win.h"
#include "common/wide_text_win.h"
#include "monitor/status_value.h"

namespace urlcheck {
namespace {

using Microsoft::WRL::ComPtr;

// The argument values of one call, in the order the member declares them.
// Owns the BSTRs it holds.
class Arguments {
 public:
  Arguments() = default;
  ~Arguments() {
    for (VARIANT& value : values_) VariantClear(&value);
  }
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;

  Arguments& Int(LONG number) {
    VARIANT& value = Add(VT_I4);
    value.lVal = number;
    return *this;
  }
  // An empty text becomes an empty BSTR, never a null one.
  Arguments& String(const std::wstring& text) {
    VARIANT& value = Add(VT_BSTR);
    value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *this;
  }
  Arguments& Bool(bool flag) {
    VARIANT& value = Add(VT_BOOL);
    value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return *this;
  }

  // Invoke takes the arguments last first. The copies borrow the BSTRs.
  std::vector<VARIANT> Reversed() const { return {values_.rbegin(), values_.rend()}; }

 private:
  VARIANT& Add(VARTYPE type) {
    VARIANT& value = values_.emplace_back();
    VariantInit(&value);
    value.vt = type;
    return value;
  }
  std::vector<VARIANT> values_;
};

// Resolves the member afresh and calls it. A failure is the caller's to
// ignore: each step of a probe is issued whatever happened to the one before.
HRESULT Call(IDispatch& object, const wchar_t* name, WORD flags, const Arguments& arguments,
             VARIANT* result = nullptr) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID member = DISPID_UNKNOWN;
  const HRESULT hr = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
  if (FAILED(hr)) return hr;

  std::vector<VARIANT> values = arguments.Reversed();
  DISPID put_value = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{};
  parameters.rgvarg = values.empty() ? nullptr : values.data();
  parameters.cArgs = static_cast<UINT>(values.size());
  if (flags == DISPATCH_PROPERTYPUT) {
    // The last declared argument, first in rgvarg, is the value put.
    parameters.rgdispidNamedArgs = &put_value;
    parameters.cNamedArgs = 1;
  }
  ScopedExcepInfo exception;
  UINT bad_argument = 0;
  return object.Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, exception.Receive(),
                       &bad_argument);
}

// Option 6 of the request object: follow redirects.
constexpr LONG kOptionFollowRedirects = 6;

const wchar_t* const kRequestHeaders[][2] = {
    {L"User-Agent", L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)"},
    {L"Accept-Language", L"zh-cn"},
    {L"Connection", L"Keep-Alive"},
    {L"Accept",
     L"image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
     L"application/x-silverlight, */*"},
};

}  // namespace

ComPtr<IDispatch> CreateWinHttpRequest() {
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(L"WinHttp.WinHttpRequest.5.1", &clsid))) return nullptr;
  ComPtr<IUnknown> unknown;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                              reinterpret_cast<void**>(unknown.GetAddressOf())))) {
    return nullptr;
  }
  if (FAILED(OleRun(unknown.Get()))) return nullptr;
  ComPtr<IDispatch> dispatch;
  if (FAILED(unknown.As(&dispatch))) return nullptr;
  return dispatch;
}

std::int32_t ProbeStatus(const Text& address, const RequestFactory& factory) {
  const ComPtr<IDispatch> request = factory();
  if (!request) return 0;
  IDispatch& object = *request.Get();

  Call(object, L"Option", DISPATCH_PROPERTYPUT, Arguments().Int(kOptionFollowRedirects).Int(0));
  // Milliseconds to resolve, to connect, to send and to receive.
  Call(object, L"SetTimeouts", DISPATCH_METHOD, Arguments().Int(5000).Int(5000).Int(10000).Int(5000));
  Call(object, L"open", DISPATCH_METHOD,
       Arguments().String(L"GET").String(WideFromText(address)).Bool(false));
  for (const auto& header : kRequestHeaders) {
    Call(object, L"setRequestHeader", DISPATCH_METHOD, Arguments().String(header[0]).String(header[1]));
  }
  Call(object, L"send", DISPATCH_METHOD, Arguments());

  ScopedVariant status;
  VARIANT* const status_value = status.Receive();
  if (FAILED(Call(object, L"status", DISPATCH_PROPERTYGET, Arguments(), status_value))) return 0;
  ScopedVariant number;
  if (FAILED(VariantChangeType(number.Receive(), status_value, 0, VT_R8))) return 0;
  return StatusFromNumber(number.Get().dblVal);
}

}  // namespace urlcheck
