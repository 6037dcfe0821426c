// The controls the operations read and write. The Qt window maps each onto its widget (objectName is the
// control's own name, given beside each entry).
#pragma once

namespace quorvane::window {

enum class Control {
  WorkshopFolderBox,   // 编辑框_创意工坊位置: WorkshopFolder
  PagePrefixBox,       // 编辑框_创意工坊页面: the page prefix
  DescriptionBox,      // 编辑框_MOD信息
  LogBox,              // 编辑框_查找结果
  PreviewGroup,        // 分组框_预览图: caption names the shown mod
  PreviewPicture,      // 图片框_预览图
  NoPreviewLabel,      // 超级链接框_无预览图
  ProgressBox,         // 编辑框_复制框: the progress line
  SearchFieldCombo,    // 组合框_查找项目: text is the chosen item's text
  SearchTextBox,       // 编辑框_查找条件
  FuzzyCheck,          // 选择框_模糊查找
  ProgressCheck,       // 选择框_进度显示
  JumpBox,             // 编辑框_跳转
  ModListView,         // 超级列表框1
};

}  // namespace quorvane::window
