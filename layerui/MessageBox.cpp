#include "layerui/MessageBox.h"

#include <windowsx.h>

#include "layerui/LayerButton.h"
#include "layerui/LayerImageCtrl.h"
#include "layerui/LayerLabel.h"
#include "layerui/LayerResManager.h"

namespace {

volatile LONG g_silent = 0;

constexpr int kBackgroundImage = 244;
constexpr int kBlueButtonImage = 237;
constexpr int kGreyButtonImage = 241;
constexpr int kCloseImage = 238;
constexpr int kTextFont = 1010;
constexpr int kButtonFont = 1006;
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kGrey = RGB(0x88, 0x88, 0x88);
constexpr int kIdClose = 8;  // IDCLOSE

struct ButtonRow {
  const wchar_t* caption;
  int result;
};
struct TypeRow {
  UINT type;
  ButtonRow first, second;
};
// The blue (right) button comes first, the grey (left) one second.
constexpr TypeRow kTypes[] = {
    {MB_OK, {L"确定", IDOK}, {nullptr, 0}},
    {MB_OKCANCEL, {L"取消", IDCANCEL}, {L"确定", IDOK}},
    {MB_YESNO, {L"是", IDYES}, {L"否", IDNO}},
};

const TypeRow* RowOf(UINT type) {
  for (const TypeRow& row : kTypes)
    if (row.type == (type & 0x0F)) return &row;
  return nullptr;
}

}  // namespace

void SetMessageBoxSilent(bool silent) { ::InterlockedExchange(&g_silent, silent ? 1 : 0); }
bool IsMessageBoxSilent() { return ::InterlockedCompareExchange(&g_silent, 0, 0) != 0; }

int ShowMessageBox(HWND owner, const wchar_t* text, UINT type) {
  if (IsMessageBoxSilent()) return -1;
  CMessageBox box(text ? text : L"", type);
  return static_cast<int>(box.DoModal(owner ? owner : ::GetActiveWindow()));
}

CMessageBox::CMessageBox(std::wstring text, UINT type)
    : root_(std::make_unique<CLayerControlRootView>()), type_(type), text_(std::move(text)) {}

CMessageBox::~CMessageBox() {
  if (oldBitmap_) ::SelectObject(surfaceDc_.get(), oldBitmap_);
}

CMessageBox* CMessageBox::FromHandle(HWND dialog) {
  return dynamic_cast<CMessageBox*>(CDialogImplBase::FromHandle(dialog));
}

bool CMessageBox::CreateSurface() {
  HDC windowDc = ::GetDC(m_hWnd);
  surfaceDc_.reset(::CreateCompatibleDC(windowDc));
  surfaceBitmap_.reset(::CreateCompatibleBitmap(windowDc, kWidth, kHeight));
  ::ReleaseDC(m_hWnd, windowDc);
  if (!surfaceDc_ || !surfaceBitmap_) return false;
  oldBitmap_ = ::SelectObject(surfaceDc_.get(), surfaceBitmap_.get());
  return true;
}

void CMessageBox::BuildLayout() {
  CLayerResManager* registry = CLayerResManager::Instance();
  HWND hwnd = m_hWnd;

  auto background = std::make_unique<CLayerImageCtrl>();
  background->Create(hwnd, this, NextAutoId(), 0, 0, kWidth, kHeight);
  background->SetImage(registry->GetImage(kBackgroundImage), false);
  root_->AddChild(std::move(background));

  auto title = std::make_unique<CLayerLabelCtrl>();
  title->Create(hwnd, this, NextAutoId(), 50, 0, 200, 50);
  title->SetText(L"Kesto壁纸卸载", false);
  title->SetTextColor(kWhite, false);
  title->SetFont(registry->GetFont(kTextFont));
  title->SetTextFormat(0x01);
  root_->AddChild(std::move(title));

  auto message = std::make_unique<CLayerLabelCtrl>();
  message->Create(hwnd, this, NextAutoId(), 0, 110, kWidth, 32);
  message->SetText(text_, false);
  message->SetTextColor(kGrey, false);
  message->SetFont(registry->GetFont(kTextFont));
  message->SetTextFormat(0x10);
  root_->AddChild(std::move(message));

  const TypeRow* row = RowOf(type_);
  const auto addButton = [&](const ButtonRow& button, int x, int image, COLORREF color) {
    auto control = std::make_unique<CLayerButtonCtrl>();
    control->Create(hwnd, this, button.result, x, kHeight - 60, 106, 40);
    control->SetImage(registry->GetImage(image));
    control->SetText(button.caption, false);
    control->SetTextColor(color, false);
    control->SetFont(registry->GetFont(kButtonFont));
    return root_->AddChild(std::move(control));
  };
  const int firstX = kWidth - 126;
  if (row && row->first.caption) {
    firstButton_ = addButton(row->first, firstX, kBlueButtonImage, kWhite);
    firstResult_ = row->first.result;
  }
  if (row && row->second.caption) {
    secondButton_ = addButton(row->second, firstX - 126, kGreyButtonImage, kGrey);
    secondResult_ = row->second.result;
  }

  auto close = std::make_unique<CLayerButtonCtrl>();
  close->Create(hwnd, this, kCloseId, 504, 16, 18, 18);
  close->SetImage(registry->GetImage(kCloseImage));
  closeButton_ = root_->AddChild(std::move(close));
}

int CMessageBox::InvalidateLayer(std::unique_ptr<RECT>, int) {
  if (!surfaceDc_) return 0;
  root_->Paint(surfaceDc_.get());
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  return 1;
}

LRESULT CMessageBox::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE,
                      ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, kWidth, kHeight, SWP_NOZORDER | SWP_NOMOVE);
  CreateSurface();
  CenterWindow();
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  root_->Create(m_hWnd, this, -1, client, 0);
  BuildLayout();
  InvalidateLayer(nullptr, 1);
  return TRUE;
}

LRESULT CMessageBox::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PAINTSTRUCT paint{};
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  if (surfaceDc_) ::BitBlt(dc, 0, 0, kWidth, kHeight, surfaceDc_.get(), 0, 0, SRCCOPY);
  ::EndPaint(m_hWnd, &paint);
  return 0;
}

LRESULT CMessageBox::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ScreenToClient(m_hWnd, &point);
  ILayerControl* control = root_->ChildFromPoint(point.x, point.y);
  // The box is moved by its background.
  return (control && !control->IsDragThrough()) ? HTCLIENT : HTCAPTION;
}

LRESULT CMessageBox::OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  root_->OnMouseMove(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  if (leaveTracking_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    ::TrackMouseEvent(&track);
    leaveTracking_ = false;
  }
  return 0;
}

LRESULT CMessageBox::OnMouseHover(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  root_->OnMouseHover(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  return 0;
}

LRESULT CMessageBox::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
  root_->OnMouseLeave();
  leaveTracking_ = true;
  return 0;
}

LRESULT CMessageBox::OnLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  ::SetCapture(m_hWnd);
  int handled = 0;
  root_->OnLButtonDown(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam),
                       &handled);
  return 0;
}

LRESULT CMessageBox::OnLButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  int handled = 0;
  root_->OnLButtonUp(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam),
                     &handled);
  ::ReleaseCapture();
  return 0;
}

LRESULT CMessageBox::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  const int id = LOWORD(wParam);
  if (id == kCloseId)
    EndDialog(kIdClose);
  else if (id != 0 && (id == firstResult_ || id == secondResult_))
    EndDialog(id);
  else
    handled = FALSE;
  return 0;
}

LRESULT CMessageBox::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
  EndDialog(kIdClose);
  return 0;
}

LRESULT CMessageBox::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  // The controls go with the dialog; the box object may be reused.
  root_->OnDestroy();
  firstButton_ = secondButton_ = closeButton_ = nullptr;
  handled = FALSE;
  return 0;
}
