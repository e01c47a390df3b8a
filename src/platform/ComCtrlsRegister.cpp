// The published properties of the common controls, as layouts use them.
#include "platform/ComCtrls.h"
#include "platform/ActnList.h"
#include "platform/FormLoader.h"
#include "platform/Menus.h"
#include "platform/TypInfo.h"

namespace treskel {

void RegisterComCtrlClasses() {
    PublishClass<TCustomTreeView, TWinControl>()
        .NotCreatable()
        .Enum<TBorderStyle>("BorderStyle", &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle,
                            TBorderStyle::bsSingle)
        .Bool("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection, true)
        .Ref<TCustomImageList>("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages)
        .Int("Indent", &TCustomTreeView::Indent, &TCustomTreeView::SetIndent, 19)
        .Bool("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly)
        .Bool("RightClickSelect", &TCustomTreeView::RightClickSelect, &TCustomTreeView::SetRightClickSelect)
        .Bool("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons, true)
        .Bool("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines, true)
        .Bool("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot, true)
        .Enum<TSortType>("SortType", &TCustomTreeView::SortType, &TCustomTreeView::SetSortType, TSortType::stNone)
        .Ref<TCustomImageList>("StateImages", &TCustomTreeView::StateImages, &TCustomTreeView::SetStateImages)
        .Event("OnChange", &TCustomTreeView::OnChange)
        .Event("OnChanging", &TCustomTreeView::OnChanging)
        .Event("OnCollapsed", &TCustomTreeView::OnCollapsed)
        .Event("OnCollapsing", &TCustomTreeView::OnCollapsing)
        .Event("OnCompare", &TCustomTreeView::OnCompare)
        .Event("OnCustomDrawItem", &TCustomTreeView::OnCustomDrawItem)
        .Event("OnDeletion", &TCustomTreeView::OnDeletion)
        .Event("OnEdited", &TCustomTreeView::OnEdited)
        .Event("OnEditing", &TCustomTreeView::OnEditing)
        .Event("OnExpanded", &TCustomTreeView::OnExpanded)
        .Event("OnExpanding", &TCustomTreeView::OnExpanding)
        .Event("OnGetImageIndex", &TCustomTreeView::OnGetImageIndex);
    PublishClass<TTreeView, TCustomTreeView>();

    PublishClass<TTabStrings, TStrings>();
    PublishClass<TTabControl, TWinControl>()
        .Object("Tabs", &TTabControl::Tabs)
        .Int("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex, -1)
        .Bool("HotTrack", &TTabControl::HotTrack, &TTabControl::SetHotTrack)
        .Event("OnChange", &TTabControl::OnChange)
        .Event("OnChanging", &TTabControl::OnChanging);

    PublishClass<TToolButton, TGraphicControl>()
        .String("Caption", &TToolButton::Caption, &TToolButton::SetCaption)
        .Bool("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp)
        .Bool("Down", &TToolButton::Down, &TToolButton::SetDown)
        .Ref<TPopupMenu>("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu)
        .Bool("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped)
        .Int("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex, -1)
        .Enum<TToolButtonStyle>("Style", &TToolButton::Style, &TToolButton::SetStyle, TToolButtonStyle::tbsButton);
    PublishClass<TToolBar, TCustomControl>()
        .Bool("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize)
        .Int("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight, 22)
        .Int("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth, 23)
        .Ref<TCustomImageList>("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages)
        .Bool("Flat", &TToolBar::Flat, &TToolBar::SetFlat)
        .Ref<TCustomImageList>("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages)
        .Ref<TCustomImageList>("Images", &TToolBar::Images, &TToolBar::SetImages)
        .Int("Indent", &TToolBar::Indent, &TToolBar::SetIndent)
        .Bool("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions)
        .Bool("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable, true);

    // The image lists of action lists and menus need the image list's type.
    PublishClass<TCustomActionList, TComponent>().Ref<TCustomImageList>("Images", &TCustomActionList::Images,
                                                                        &TCustomActionList::SetImages);
    PublishClass<TMenu, TComponent>().Ref<TCustomImageList>("Images", &TMenu::Images, &TMenu::SetImages);

    PublishClass<TStatusPanel, TCollectionItem>()
        .Enum<TAlignment>("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment,
                          TAlignment::taLeftJustify)
        .Enum<TStatusPanelBevel>("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel,
                                 TStatusPanelBevel::pbLowered)
        .Enum<TStatusPanelStyle>("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle, TStatusPanelStyle::psText)
        .String("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
        .Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth, -1);
    PublishClass<TStatusPanels, TCollection>();
    PublishClass<TProgressBar, TWinControl>()
        .Int("Max", &TProgressBar::Max, &TProgressBar::SetMax)
        .Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition);
    PublishClass<TStatusBar, TWinControl>()
        .Object("Panels", &TStatusBar::Panels)
        .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel)
        .String("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
        .Event("OnDrawPanel", &TStatusBar::OnDrawPanel);
}

}  // namespace treskel
