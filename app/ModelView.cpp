#include "app/ModelView.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>
#include <windowsx.h>

#include <GL/gl.h>

#include <algorithm>
#include <optional>
#include <type_traits>
#include <utility>

#include "app/DataViewDialog.h"
#include "app/ViewerApp.h"
#include "app/resource.h"
#include "export/ArchivePictures.h"
#include "export/GltfFiles.h"
#include "export/Png.h"
#include "model/Utf8Path.h"
#include "render/Drawing.h"

namespace {

// The virtual keys and the menu commands that the view core reads, as it names them.
constexpr std::pair<WPARAM, ViewKey> kViewKeys[] = {
    {VK_SHIFT, ViewKey::Shift}, {VK_LEFT, ViewKey::Left}, {VK_UP, ViewKey::Up},
    {VK_RIGHT, ViewKey::Right}, {VK_DOWN, ViewKey::Down}, {VK_HOME, ViewKey::Home}};
constexpr std::pair<UINT, ViewCommand> kViewCommands[] = {
    {IDM_CONTROL_PAN, ViewCommand::ControlPan},   {IDM_CONTROL_ROTATE, ViewCommand::ControlRotate},
    {IDM_CONTROL_ZOOM, ViewCommand::ControlZoom}, {IDM_AXES, ViewCommand::ShowAxes},
    {IDM_TEXTURES, ViewCommand::ToggleTextures},  {IDM_BOUNDING_BOX, ViewCommand::ShowBoundingBox}};

// What `from` stands for in `table`; nothing when it is not there.
template <class From, class To, size_t N>
std::optional<To> Find(const std::pair<From, To> (&table)[N], std::type_identity_t<From> from) {
    for (const auto& [key, value] : table)
        if (key == from)
            return value;
    return std::nullopt;
}

constexpr char ViewClassName[] = "View";
constexpr UINT_PTR kFrameTimerId = 450;
constexpr UINT kFramePeriodMs = 20;

// What Open checks on the toolbar afterwards, in this order.
constexpr UINT kCheckedAfterOpen[] = {IDM_CONTROL_PAN, IDM_AXES, IDM_COLOR, IDM_TEXTURES, IDM_CULL};

// One descriptor for every view: 16-bit colour, a 16-bit depth buffer, double
// buffering; no alpha, accumulation, stencil or auxiliary buffers.
const PIXELFORMATDESCRIPTOR& PixelFormat() {
    static const PIXELFORMATDESCRIPTOR descriptor = [] {
        PIXELFORMATDESCRIPTOR d{};
        d.nSize = sizeof d;
        d.nVersion = 1;
        d.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        d.iPixelType = PFD_TYPE_RGBA;
        d.cColorBits = 16;
        d.cDepthBits = 16;
        d.iLayerType = PFD_MAIN_PLANE;
        return d;
    }();
    return descriptor;
}

void ShowCreateError(LPCSTR text) {
    Windows::ShowMessageBox(nullptr, text, "ERROR", MB_OK | MB_ICONSTOP);
}

void ShowShutdownError(LPCSTR text) {
    Windows::ShowMessageBox(nullptr, text, "Shutdown Error", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

ModelView::ModelView() {
    // There is no window yet: the timer belongs to the thread, and its callback
    // finds the view through the application object.
    m_FrameTimer = SetTimer(nullptr, kFrameTimerId, kFramePeriodMs, TimerProc);
}

ModelView::~ModelView() {
    Destroy();
    if (m_FrameTimer)
        KillTimer(nullptr, m_FrameTimer);
}

HWND ModelView::Create(HWND parent) {
    if (m_hWnd && IsWindow(m_hWnd))
        return m_hWnd;
    Windows::CWndClass viewClass(ViewClassName);
    WNDCLASSEXA record;
    viewClass.GetWndClass(record);
    record.style |= CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    viewClass.SetWndClass(record);
    viewClass.Register();

    if (!CreateEx(WS_EX_CLIENTEDGE, ViewClassName, "",
                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                  nullptr))
        return nullptr;
    return CreateContext() ? m_hWnd : nullptr;
}

bool ModelView::CreateContext() {
    auto fail = [this](LPCSTR text) {
        ReleaseGL();
        ShowCreateError(text);
        return false;
    };

    m_hDC = GetDC(m_hWnd);
    HDC drawing = m_hDC;
    if (m_hDC && OffscreenWindow::Needed()) {
        m_pOffscreen = std::make_unique<OffscreenWindow>();
        drawing = m_pOffscreen->Create();
    }
    if (!drawing)
        return fail("Could not create a GL Device Context.");
    const int format = ChoosePixelFormat(drawing, &PixelFormat());
    if (format == 0)
        return fail("Could not find a suitable pixel format.");
    if (!SetPixelFormat(drawing, format, &PixelFormat()))
        return fail("Can't set the pixel format.");
    m_hRC = wglCreateContext(drawing);
    if (!m_hRC)
        return fail("Can't create a GL Rendering Context.");
    if (!wglMakeCurrent(drawing, m_hRC))
        return fail("Can't activate the GL Rendering Context.");

    ShowWindow(m_hWnd, SW_SHOW);
    SetForegroundWindow(m_hWnd);
    SetFocus(m_hWnd);
    Resize(640, 480);
    if (!InitGL())
        return fail("Initialization Failed.");
    return true;
}

void ModelView::ReleaseGL() {
    if (m_hRC) {
        if (!wglMakeCurrent(nullptr, nullptr))
            ShowShutdownError("Release of DC and RC failed.");
        if (!wglDeleteContext(m_hRC))
            ShowShutdownError("Release Rendering Context Failed.");
        m_hRC = nullptr;
    }
    m_pOffscreen.reset();
    if (m_hDC) {
        if (!ReleaseDC(m_hWnd, m_hDC))
            ShowShutdownError("Release Device Context Failed.");
        m_hDC = nullptr;
    }
}

bool ModelView::HasContext() const {
    return m_hRC && wglGetCurrentContext() == m_hRC;
}

void ModelView::Resize(int width, int height) {
    if (!HasContext())
        return;
    m_iWidth = width;
    m_iHeight = height;
    if (m_pOffscreen)
        m_pOffscreen->Reserve(width, height);
    m_View.Resize(width, height);
}

bool ModelView::InitGL() {
    return m_View.InitGL();
}

void ModelView::Render() {
    // A box shown while the contexts are made or released runs its own loop,
    // and ticks with it: draw only into this view's own current context.
    m_View.Frame(HasContext(), [this] {
        if (m_pOffscreen)
            m_pOffscreen->CopyTo(m_hDC, m_iWidth, m_iHeight);
        else
            SwapBuffers(m_hDC);
    });
}

void CALLBACK ModelView::TimerProc(HWND, UINT, UINT_PTR, DWORD) {
    if (auto* app = dynamic_cast<ViewerApp*>(Windows::CApp::GetApp()))
        app->Tick();
}

LRESULT ModelView::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            Resize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            // The texture objects go while their context is still current.
            m_View.CloseDocuments();
            ReleaseGL();
            break;
        case WM_KEYDOWN:
            if (const std::optional<ViewKey> key = Find(kViewKeys, wParam))
                m_View.KeyDown(*key);
            break;
        case WM_KEYUP:
            if (const std::optional<ViewKey> key = Find(kViewKeys, wParam))
                m_View.KeyUp(*key);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // The view takes the keyboard too, and keeps the mouse for the
            // drag even when it leaves the window.
            SetFocus(window);
            SetCapture(window);
            m_View.MouseDown(message == WM_LBUTTONDOWN   ? MouseButton::Left
                             : message == WM_RBUTTONDOWN ? MouseButton::Right
                                                         : MouseButton::Middle,
                             GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            m_View.MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), wParam & MK_SHIFT);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (GetCapture() == window)
                ReleaseCapture();
            m_View.MouseUp();
            return 0;
        case WM_CAPTURECHANGED:
            m_View.MouseUp();
            return 0;
        case WM_MOUSEWHEEL:
            m_iWheel += GET_WHEEL_DELTA_WPARAM(wParam);
            m_View.MouseWheel(m_iWheel / WHEEL_DELTA, GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT);
            m_iWheel %= WHEEL_DELTA;
            return 0;
        case WM_KILLFOCUS:
            // Keys let go while a menu or a dialog has the keyboard never
            // reach the view as key-ups.
            m_View.ReleaseKeys();
            break;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDM_OPEN:
                    Open();
                    return 0;
                case IDM_DATAVIEW:
                    ShowDataView();
                    return 0;
                case IDM_EXPORT_GLTF:
                    ExportGltfAs();
                    return 0;
                case IDM_SAVE_PICTURE:
                    SavePictureAs();
                    return 0;
                case IDM_EXPORT_TEXTURES:
                    ExportTexturesAs();
                    return 0;
                default:
                    if (const std::optional<ViewCommand> command =
                            Find(kViewCommands, LOWORD(wParam))) {
                        m_View.Command(*command);
                        return 0;
                    }
            }
            break;
    }
    return CWin::WndProc(window, message, wParam, lParam);
}

void ModelView::Open() {
    OpenFile(OpenFileDialog(m_hWnd));
}

void ModelView::OpenFile(const std::string& path) {
    // A view whose context could not be made still opens files: GLU's scaler
    // would crash without one, so nothing is uploaded then.
    // What the file asks for is more than this machine has: said once, and
    // the viewer goes on with nothing open.
    if (const std::string tooLarge = m_View.OpenDocument(path, HasContext()); !tooLarge.empty())
        ShowError("Cannot open " + path + ":\n" + tooLarge);
    for (UINT id : kCheckedAfterOpen)
        SendMessageA(m_hWndParent, WM_CHECKBUTTON, id, 1);
}

bool ModelView::CanExport() const {
    return m_View.Scene || m_View.Points;
}

bool ModelView::CanExportTextures() const {
    return m_View.Scene && m_View.Scene->ArchiveLoaded();
}

// The File menu's writers: a dialog for where, then the writing. A cancelled
// dialog writes nothing.
void ModelView::ExportGltfAs() {
    if (!CanExport())
        return;
    const std::string path =
        SaveFileDialog(m_hWnd, L"glTF binary (*.glb)\0*.glb\0glTF (*.gltf)\0*.gltf\0",
                       {".glb", ".gltf"}, OpenName() + ".glb");
    if (!path.empty())
        ExportGltf(path);
}

void ModelView::SavePictureAs() {
    if (!CanExport())
        return;
    const std::string path =
        SaveFileDialog(m_hWnd, L"PNG picture (*.png)\0*.png\0", {".png"}, OpenName() + ".png");
    if (!path.empty())
        SavePicture(path);
}

void ModelView::ExportTexturesAs() {
    if (!CanExportTextures())
        return;
    const std::string folder =
        FolderDialog(m_hWnd, L"The folder for the texture pictures", OpenFolder());
    if (!folder.empty())
        ExportTextures(folder);
}

bool ModelView::ExportGltf(const std::string& path) {
    GltfDocument document;
    if (const ModelScene* scene = m_View.Scene.get())
        document = GltfOfModel(scene->Model(), scene->ArchiveLoaded() ? &scene->Textures : nullptr);
    else if (const PointDump* points = m_View.Points.get())
        document = GltfOfPointDump(points->Words);
    std::string error = OpenPath() + " holds nothing to export";
    std::vector<std::string> written;
    if (HasNodes(document) && WriteGltfFiles(path, document, written, error))
        return true;
    ShowError(error);
    return false;
}

bool ModelView::SavePicture(const std::string& path) {
    std::string error = "cannot write " + path + ": the view has no OpenGL context";
    if (HasContext()) {
        // The frame the window shows, drawn once more and read where it is drawn.
        m_View.DrawScene();
        glFinish();
        glReadBuffer(GL_BACK);
        const std::vector<uint8_t> pixels = ReadFramePixels(m_iWidth, m_iHeight, true);
        if (WritePng(path, m_iWidth, m_iHeight, pixels.data(), error))
            return true;
    }
    ShowError(error);
    return false;
}

bool ModelView::ExportTextures(const std::string& folder) {
    std::string error = "the open file has no texture archive";
    if (CanExportTextures() &&
        WriteArchivePictures(m_View.Scene->Textures, folder, false, nullptr, error))
        return true;
    ShowError(error);
    return false;
}

void ModelView::ShowError(const std::string& text) const {
    MessageBoxW(m_hWnd, WideFromUtf8(text).c_str(), L"Kestrel Viewer", MB_OK | MB_ICONERROR);
}

std::string ModelView::OpenPath() const {
    return m_View.Scene    ? m_View.Scene->Model().Path()
           : m_View.Points ? m_View.Points->FileName
                           : std::string();
}

std::string ModelView::OpenName() const {
    return Utf8FromPath(PathFromUtf8(OpenPath()).stem());
}

std::string ModelView::OpenFolder() const {
    return Utf8FromPath(PathFromUtf8(OpenPath()).parent_path());
}

void ModelView::ShowDataView() {
    // Block 21 reads the archive only when it is the model's own.
    const ModelScene* scene = m_View.Scene.get();
    DataViewDialog dialog(IDD_DATAVIEW, scene ? &scene->Model() : nullptr,
                          scene && scene->ArchiveLoaded() ? &scene->Textures : nullptr, m_hWnd);
    dialog.DoModal();
}

std::string OpenFileDialog(HWND owner) {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = L"All Files (*.*)\0*.*\0";
    request.lpstrFile = file;
    request.nMaxFile = MAX_PATH;
    // The viewer never writes: an "Open as read-only" box would mean nothing.
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&request))
        return {};
    return Utf8FromWide(file);
}

std::string SaveFileDialog(HWND owner, const wchar_t* filter,
                           const std::vector<std::string>& extensions,
                           const std::string& suggested) {
    wchar_t file[MAX_PATH] = {};
    const std::wstring name = WideFromUtf8(suggested);
    if (name.size() < MAX_PATH)
        name.copy(file, name.size());
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.nFilterIndex = 1;
    request.lpstrFile = file;
    request.nMaxFile = MAX_PATH;
    request.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&request))
        return {};
    std::string path = Utf8FromWide(file);
    // A name typed without its extension gets the chosen type's.
    const size_t type = request.nFilterIndex >= 1 ? request.nFilterIndex - 1 : 0;
    const std::string extension = LowerCaseExtension(path);
    if (type < extensions.size() &&
        std::find(extensions.begin(), extensions.end(), extension) == extensions.end())
        path += extensions[type];
    return path;
}

namespace {

// Opens the folder chooser at the folder it was given.
int CALLBACK StartFolder(HWND dialog, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

}  // namespace

std::string FolderDialog(HWND owner, const wchar_t* title, const std::string& start) {
    // The dialog of today's Windows, with a field to type a path into and a
    // button for a new folder, needs COM on the thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring folder = WideFromUtf8(start);
    BROWSEINFOW request{};
    request.hwndOwner = owner;
    request.lpszTitle = title;
    request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    request.lpfn = StartFolder;
    request.lParam = folder.empty() ? 0 : reinterpret_cast<LPARAM>(folder.c_str());
    std::string chosen;
    if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&request)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(list, path))
            chosen = Utf8FromWide(path);
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return chosen;
}
