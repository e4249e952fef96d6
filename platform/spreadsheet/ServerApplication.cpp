// The application, its workbooks and windows, and the registration of the server's class.

#include <filesystem>

#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/ServerObjects.h"
#include "platform/spreadsheet/SpreadsheetServer.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::spreadsheet {

namespace server {

const Variant& Member::Assigned() const {
  if (args.empty()) Raise(err::ArgumentNotOptional);
  return args.back().value;
}

size_t Member::Positional() const {
  size_t n = 0;
  for (const Argument& a : args) n += a.name.empty() ? 1 : 0;
  return Lets() && n > 0 ? n - 1 : n;
}

void NoSuchMember() { Raise(err::ObjectDoesNotSupport); }

namespace {

// The 1-based position a collection index names: a number from 1 to count. Error 9 otherwise.
int32_t Position(const Variant& index, int32_t count) {
  if (!index.IsNumericKind() && !index.IsString()) Raise(err::TypeMismatch);
  const int32_t i = CLng(index);
  if (i < 1 || i > count) Raise(err::SubscriptOutOfRange);
  return i;
}

// collection(args...): the collection itself without arguments, else its Item.
Variant ItemOrSelf(const Variant& collection, Member& m) {
  if (m.Positional() == 0) return collection;
  return tamarind::Invoke(collection, "Item", CallType::Get, m.args);
}

class WorkbooksObject : public Dispatchable {
 public:
  explicit WorkbooksObject(std::shared_ptr<Application> app) : app_(std::move(app)) {}
  std::string TypeName() const override { return "Workbooks"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override {
    app_->CheckRunning();
    Member m{name, type, args};
    if (!m.Reads()) NoSuchMember();
    const auto& books = app_->Books();
    if (m.Is("Count")) return static_cast<int32_t>(books.size());
    if (m.Is("Item") || m.Is("")) {
      const Variant& index = RequireArgument(args, 0);
      if (index.IsString()) {
        const std::string wanted = text::FoldCase(index.AsString());
        for (const auto& b : books)
          if (text::FoldCase(b->Name()) == wanted) return b->Self();
        Raise(err::SubscriptOutOfRange);
      }
      return books[static_cast<size_t>(Position(index, static_cast<int32_t>(books.size())) - 1)]->Self();
    }
    if (m.Is("Open")) return app_->Open(CStr(RequireArgument(args, 0)), true)->Self();
    if (m.Is("Add")) return app_->Add()->Self();
    if (m.Is("Application") || m.Is("Parent")) return app_->Self();
    NoSuchMember();
  }
  std::vector<Variant> Enumerate() override {
    app_->CheckRunning();
    std::vector<Variant> out;
    for (const auto& b : app_->Books()) out.push_back(b->Self());
    return out;
  }

 private:
  std::shared_ptr<Application> app_;
};

// The windows of the application, the active one first.
class WindowsObject : public Dispatchable {
 public:
  explicit WindowsObject(std::shared_ptr<Application> app) : app_(std::move(app)) {}
  std::string TypeName() const override { return "Windows"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override {
    app_->CheckRunning();
    Member m{name, type, args};
    if (!m.Reads()) NoSuchMember();
    const auto& windows = app_->WindowOrder();
    if (m.Is("Count")) return static_cast<int32_t>(windows.size());
    if (m.Is("Item") || m.Is("")) {
      const Variant& index = RequireArgument(args, 0);
      if (index.IsString()) {
        const std::string wanted = text::FoldCase(index.AsString());
        for (const auto& w : windows)
          if (auto b = w->Book(); b && text::FoldCase(b->Name()) == wanted) return Variant(w);
        Raise(err::SubscriptOutOfRange);
      }
      return Variant(windows[static_cast<size_t>(Position(index, static_cast<int32_t>(windows.size())) - 1)]);
    }
    if (m.Is("Application") || m.Is("Parent")) return app_->Self();
    NoSuchMember();
  }
  std::vector<Variant> Enumerate() override {
    app_->CheckRunning();
    std::vector<Variant> out;
    for (const auto& w : app_->WindowOrder()) out.push_back(Variant(w));
    return out;
  }

 private:
  std::shared_ptr<Application> app_;
};

std::string FullPath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

}  // namespace

// --- Window --------------------------------------------------------------------------------------------

std::shared_ptr<WorkbookObject> WindowObject::Book() const {
  auto b = book_.lock();
  return b && !b->IsClosed() ? b : nullptr;
}

Variant WindowObject::Invoke(std::string_view name, CallType type, Arguments& args) {
  const auto book = Book();
  if (!book) Raise(err::AutomationError, "Window", "The window's workbook has been closed");
  Member m{name, type, args};
  if (m.Is("Visible")) {
    if (m.Lets()) {
      book->Data().SetWindowHidden(!CBool(m.Assigned()));
      return {};
    }
    if (m.Reads()) return !book->Data().WindowHidden();
  }
  if (m.Reads()) {
    if (m.Is("Caption")) return book->Name();
    if (m.Is("Application")) return book->App()->Self();
    if (m.Is("Parent")) return book->Self();
  }
  NoSuchMember();
}

// --- Application -----------------------------------------------------------------------------------------

std::shared_ptr<Application> Application::Start(platform::Toolkit& tk) {
  auto app = std::make_shared<Application>(tk);
  tk.RunningObjects().Register(kApplicationClass, Variant(app));
  return app;
}

void Application::CheckRunning() const {
  if (quit_) Raise(err::AutomationError, "Application", "The spreadsheet application has quit");
}

std::shared_ptr<WorkbookObject> Application::Adopt(std::shared_ptr<WorkbookObject> book) {
  book->SetWindow(std::make_shared<WindowObject>(book));
  books_.push_back(book);
  windows_.insert(windows_.begin(), book->Window());
  return book;
}

std::shared_ptr<WorkbookObject> Application::Open(const std::string& path, bool showWindow) {
  CheckRunning();
  const std::string full = FullPath(path);
  for (const auto& b : books_)
    if (b->FullName() == full) {
      Activate(*b);
      return b;
    }
  Workbook data = LoadWorkbook(full);
  if (!showWindow) data.SetWindowHidden(true);
  return Adopt(std::make_shared<WorkbookObject>(weak_from_this(), std::move(data), full));
}

std::shared_ptr<WorkbookObject> Application::Add() {
  CheckRunning();
  auto book = std::make_shared<WorkbookObject>(weak_from_this(), Workbook::WithSheet("Sheet1"), std::string(),
                                               "Book" + std::to_string(++newBooks_));
  auto adopted = Adopt(std::move(book));
  adopted->Changed();
  return adopted;
}

void Application::Quit() {
  if (quit_) return;
  // Workbooks not saved are closed as they are: there is nobody to ask about them.
  const auto books = books_;
  for (const auto& b : books) b->Close();
  books_.clear();
  windows_.clear();
  quit_ = true;
  tk_.RunningObjects().Revoke(kApplicationClass, this);
}

void Application::Activate(const WorkbookObject& book) {
  for (size_t i = 0; i < windows_.size(); ++i)
    if (windows_[i] == book.Window()) {
      auto w = windows_[i];
      windows_.erase(windows_.begin() + static_cast<std::ptrdiff_t>(i));
      windows_.insert(windows_.begin(), std::move(w));
      return;
    }
}

void Application::Remove(const WorkbookObject& book) {
  std::erase_if(books_, [&](const auto& b) { return b.get() == &book; });
  std::erase_if(windows_, [&](const auto& w) { return w == book.Window(); });
}

std::shared_ptr<WorkbookObject> Application::ActiveBook() const {
  return windows_.empty() ? nullptr : windows_.front()->Book();
}

Variant Application::Invoke(std::string_view name, CallType type, Arguments& args) {
  CheckRunning();
  Member m{name, type, args};
  if (m.Is("Visible")) {
    if (m.Lets()) {
      visible_ = CBool(m.Assigned());
      return {};
    }
    if (m.Reads()) return visible_;
  }
  if (m.Is("DisplayAlerts")) {
    if (m.Lets()) {
      displayAlerts_ = CBool(m.Assigned());
      return {};
    }
    if (m.Reads()) return displayAlerts_;
  }
  if (!m.Reads()) NoSuchMember();
  if (m.Is("Application") || m.Is("Parent")) return Self();
  if (m.Is("Workbooks")) return ItemOrSelf(Variant(std::make_shared<WorkbooksObject>(shared_from_this())), m);
  if (m.Is("Windows")) return ItemOrSelf(Variant(std::make_shared<WindowsObject>(shared_from_this())), m);
  if (m.Is("Quit")) {
    Quit();
    return {};
  }
  const auto book = ActiveBook();
  if (m.Is("ActiveWorkbook")) return book ? book->Self() : Variant::Nothing();
  if (m.Is("ActiveSheet")) return book ? book->SheetObject(book->Data().ActiveSheet()) : Variant::Nothing();
  if (m.Is("Sheets") || m.Is("Worksheets")) {
    if (!book) Raise(err::ObjectNotSet);
    return book->Invoke(name, type, args);
  }
  NoSuchMember();
}

}  // namespace server

// --- registration ------------------------------------------------------------------------------------------

void RegisterAutomationServer() {
  static const bool registered = [] {
    platform::AutomationClass c;
    c.progId = kApplicationClass;
    c.extensions = {".xls"};
    c.create = [](platform::Toolkit& tk) { return Variant(server::Application::Start(tk)); };
    c.open = [](platform::Toolkit& tk, const std::string& path) {
      const Variant running = tk.RunningObjects().Find(kApplicationClass);
      auto app = std::dynamic_pointer_cast<server::Application>(running.IsNothing() ? nullptr : running.AsObject());
      const bool started = !app;
      if (started) app = server::Application::Start(tk);
      try {
        return app->Open(path, false)->Self();
      } catch (const Error&) {
        // An instance started only for this document does not outlive the failed open.
        if (started) app->Quit();
        throw;
      }
    };
    platform::RegisterAutomationClass(std::move(c));
    return true;
  }();
  (void)registered;
}

Variant StartApplication(platform::Toolkit& tk) {
  RegisterAutomationServer();
  return tk.CreateObject(kApplicationClass);
}

}  // namespace tamarind::spreadsheet
