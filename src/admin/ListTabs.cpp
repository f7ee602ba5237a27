#include "ListTabs.h"

namespace ListTabs
{

QList<ListTab> MasterData()
{
    return {
        {1, "商品类目", "tableWidgetClass", {"商品类目-主要用作记录商品分类，便于对商品进行管理"}},
        {2,
         "商品名称",
         "tableWidgetName",
         {"商品名称-主要用作给商品进行一个便于记忆的或有趣的名称"}},
        {3, "商品型号", "tableWidgetModel", {"商品型号-主要用作记录商品出厂型号，作为识别标识"}},
        {4, "商品色号", "tableWidgetColor", {"商品色号-主要用作记录商品颜色型号或颜色命名"}},
        {6,
         "商品规格",
         "tableWidgetSize",
         {"商品规格-主要是可以用作记录商品的尺寸(长×宽×高×单位数目)"}},
        {8,
         "仓库信息",
         "tableWidgetStore",
         {"仓库名称", "仓库地址", "仓库编号", "仓库分区数", "分区编号数", "管理员", "联系方式"}},
    };
}

QList<ListTab> People()
{
    const QStringList contacts = {"联系人",   "性别",     "年龄",     "微信", "联系电话",
                                  "联系地址", "单位名称", "单位网址", "备注"};
    return {
        {0, "用户信息管理", "tableWidget", {"用户名", "手机号", "密码", "用户权限", "备注"}},
        {1,
         "员工信息管理",
         "tableWidget_2",
         {"姓名", "性别", "年龄", "学历", "微信", "身份证号", "联系方式", "入职时间", "工作岗位",
          "住宿地址"}},
        {2, "客户信息管理", "tableWidget_3", contacts},
        {3, "分销商管理", "tableWidget_4", contacts},
        {4, "供应商信息管理", "tableWidget_5", contacts},
        {5, "往来单位管理", "tableWidget_6", contacts},
    };
}

QString ButtonName(Button button, int tab)
{
    const QString number = QString::number(tab + 1);
    QString stem;
    switch (button) {
    case Button::Import:
        return "btn_import_" + number;
    case Button::Export:
        return "btn_export_" + number;
    case Button::Add:
        stem = "btn_add";
        break;
    case Button::Delete:
        stem = "btn_del";
        break;
    case Button::Clear:
        stem = "btn_clear";
        break;
    case Button::Confirm:
        stem = "btn_ok";
        break;
    }
    // The first tab's own buttons carry no number.
    return tab == 0 ? stem : stem + "_" + number;
}

QString ButtonText(Button button)
{
    switch (button) {
    case Button::Import:
        return "导入";
    case Button::Export:
        return "导出";
    case Button::Add:
        return "增加";
    case Button::Delete:
        return "删除";
    case Button::Clear:
        return "清空";
    case Button::Confirm:
        return "确认";
    }
    return {};
}

} // namespace ListTabs
